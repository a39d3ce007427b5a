#include "page_controls.h"

#include <QJsonArray>

namespace halvard::test {

QStringList EntriesOf(const QComboBox* box) {
    QStringList entries;
    for (int i = 0; i < box->count(); ++i)
        entries
            << QStringLiteral("%1=%2").arg(box->itemText(i)).arg(box->itemData(i).toInt(), 0, 16);
    return entries;
}

QList<qint64> IntArgsOf(const QJsonObject& call) {
    QList<qint64> args;
    const QJsonArray all = call.value(QLatin1String("args")).toArray();
    for (qsizetype i = 1; i < all.size(); ++i)
        args << all[i].toInteger();
    return args;
}

void PickOn(const QWidget* page, const char* name, int data) {
    auto* box = ControlOf<QComboBox>(page, name);
    if (box == nullptr)
        return;
    const int index = box->findData(data);
    ASSERT_GE(index, 0) << name << " has no entry " << data;
    box->setCurrentIndex(index);
}

}  // namespace halvard::test
