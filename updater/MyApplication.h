#pragma once
// The agent's application object. It holds the single-instance guard: a local
// server named "<product> Update". A second agent hands its last argument to
// the first one and ends.
#include <QApplication>

class QLocalServer;

class MyApplication : public QApplication
{
    Q_OBJECT
public:
    // With `singleInstance` false (jobs that open no window and guard their
    // own files) the guard is skipped: no test, no server.
    MyApplication(int& argc, char** argv, bool singleInstance = true);
    ~MyApplication() override;

    // True when another agent answered; main then returns at once.
    bool isRunning() const { return _isRunning; }

    // "Velto PDF Reader Update".
    static QString serverName();
    // The socket file a local server of that name uses on this system.
    static QString serverSocketPath();

    // The agent's look: push buttons 32 points tall, a 12-pixel application font.
    static QString buttonStyleSheet();
    static void applyButtonStyle();
    static void applyFont();

private slots:
    void newLocalConnection();

private:
    QLocalServer* server = nullptr;   // owned through the parent link; null in a second agent
    bool _isRunning = false;
};
