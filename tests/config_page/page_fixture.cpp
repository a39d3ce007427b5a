#include "page_fixture.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>

#include "CPWDlg.h"
#include "CSpinEdit.h"

namespace halvard::test {

const char* const kPresetIni = R"([TYPE]
Type-01=A
Type-02=B

[A]
Default-01=11
Default-02=-21
Default-21=5
Default-29=9600

[B]
Default-01=22
Default-02=-42
Default-13=999
Default-21=6
Default-25=8
Default-26=0
Default-29=38400
)";

const char* const kPlainIni = R"([PARAMETER]
Default-01=7
Default-02=-17
Default-03=300
Default-04=892
Default-13=1100
Default-21=5
Default-23=13107450
Default-29=19200
)";

void PageTest::SetUp() {
    folder = std::make_unique<QTemporaryDir>();
    ASSERT_TRUE(folder->isValid());
    CSubDlgVELA::SetSettingsFolder(folder->path() + QStringLiteral("/"));
    ui.onMessage = [this](const ShownMessage& m) {
        const QCursor* cursor = QApplication::overrideCursor();
        messages.push_back({m.text, m.style, cursor && cursor->shape() == Qt::WaitCursor});
    };
    ui.onDialog = [this](QDialog& dialog) {
        if (auto* login = qobject_cast<CPWDlg*>(&dialog)) {
            login->findChild<QLineEdit*>(QStringLiteral("password"))
                ->setText(QStringLiteral("1234"));
            login->accept();
            return static_cast<int>(login->result());
        }
        if (dialogAnswer)
            return dialogAnswer(dialog);
        dialog.accept();
        return static_cast<int>(QDialog::Accepted);
    };
}

void PageTest::TearDown() {
    window.reset();
    sim.reset();
    CSubDlgVELA::SetSettingsFolder(QString());
}

std::vector<bool> PageTest::FileDialogSaves() const {
    std::vector<bool> saves;
    for (const FileDialogRequest& r : ui.fileRequests)
        saves.push_back(r.save);
    return saves;
}

void PageTest::Start(const char* ini, const char* scenario) {
    if (ini != nullptr) {
        QFile file(folder->filePath(QStringLiteral("HalvardConfig.ini")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(ini);
    }
    // The tool's own settings come from the private folder too: files saved with AUTOSAVE on
    // start in a folder inside it, never in the user's home.
    QFile tool(folder->filePath(QStringLiteral("KestraConfig.ini")));
    ASSERT_TRUE(tool.open(QIODevice::WriteOnly));
    tool.write("[CONFIG]\nAUTOSAVE=TRUE\nSAVEPATH=" +
               folder->filePath(QStringLiteral("saved")).toUtf8() + "\n");
    tool.close();
    window = std::make_unique<CKestraConfigDlg>();
    window->SetProgramFolder(folder->path() + QStringLiteral("/"));
    window->Initialise(QString::fromUtf8(SimulatorLibrary()));
    sim = std::make_unique<SimControl>(window->Binding());
    sim->Fresh();
    if (scenario != nullptr) {
        ASSERT_EQ(sim->VelaSim_LoadScenario(scenario), 0);
        sim->VelaSim_SetTimeScale(0.0);
    }
    sim->VelaSim_ClearCallLog();
    messages.clear();
}

void PageTest::Connect(const QString& device, const QString& password) {
    ASSERT_EQ(window->ConnectDevice(device), 0);
    Find<QLineEdit>("loginPassword")->setText(password);
    window->UpdateControls();
}

void PageTest::ConnectAndFetch(const QString& device) {
    Connect(device);
    Page()->GetConfig();
    ASSERT_TRUE(messages.empty()) << messages.front().text.toStdString();
    ASSERT_TRUE(Page()->IsFetched());
}

CSpinEdit* PageTest::Spin(const char* name) const {
    return Find<CSpinEdit>(name);
}
QLineEdit* PageTest::Edit(const char* name) const {
    return Find<QLineEdit>(name);
}
QComboBox* PageTest::Combo(const char* name) const {
    return Find<QComboBox>(name);
}
QPushButton* PageTest::Button(const char* name) const {
    return Find<QPushButton>(name);
}
void PageTest::Click(const char* name) const {
    Button(name)->click();
}

QStringList PageTest::MessageTexts() const {
    QStringList out;
    for (const auto& m : messages)
        out << m.text;
    return out;
}

QJsonArray PageTest::StoredParams(const char* device) const {
    return sim->Device(device).value(QStringLiteral("params")).toArray();
}

QByteArray PageTest::OneDevice(const QString& members, const QString& name) {
    return QStringLiteral(R"({"timeScale": 0, "devices": [{"name": "%1", "type": 14081,
      "serial": "HV2026000101", "headSerial": "TH-447101", "password": "1234",
      "firmware": "V2.1.07", "modules": [{"id": 64}]%2}]})")
        .arg(name, members.isEmpty() ? QString() : QStringLiteral(", ") + members)
        .toUtf8();
}

}  // namespace halvard::test
