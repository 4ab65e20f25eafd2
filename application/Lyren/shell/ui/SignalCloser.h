#pragma once

#include <QtCore/QObject>

class QSocketNotifier;
class QWidget;

// Turns the end-of-session signals (SIGTERM, SIGINT, SIGHUP) into a normal
// close of the main window, so that the patient is saved, the backup runs
// and the database is closed as when the person closes the window.
class SignalCloser : public QObject
{
    Q_OBJECT

public:
    explicit SignalCloser(QWidget *window, QObject *parent = nullptr);
    ~SignalCloser() override;
    SignalCloser(const SignalCloser &) = delete;
    SignalCloser &operator=(const SignalCloser &) = delete;

private:
    void OnSignal();

    QWidget *m_pWindow;
    QSocketNotifier *m_pNotifier = nullptr;
};
