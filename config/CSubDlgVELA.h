#pragma once
// The printer configuration page hosted in the main window's tab control.

#include <QWidget>

class ConfigHost;

class CSubDlgVELA : public QWidget {
    Q_OBJECT
public:
    explicit CSubDlgVELA(ConfigHost& host, QWidget* parent = nullptr);
    ~CSubDlgVELA() override;

    // Whether the page shows its right-hand part ("><").
    bool IsExpanded() const { return m_expanded; }

    // Refreshes the page's own enabled and visible states (run by the main window).
    void UpdateControls();

    // "Get Config.": reads identity, counters and the parameter block from the printer.
    void GetConfig();

    // Identity texts, used by the print-head replacement command.
    QString SerialText() const;
    QString HeadSerialText() const;
    QString HeadResisterText() const;
    void SetSerialText(const QString& text);
    void SetHeadSerialText(const QString& text);
    void SetHeadResisterText(const QString& text);
    void ResetUserCounters();

signals:
    // The page grew or shrank; the main window lays itself out again.
    void layoutChanged();

private:
    ConfigHost& m_host;
    bool m_expanded = false;
    QString m_serial, m_headSerial, m_headResister;
};
