// The running probe on 127.0.0.1:8999.
#include "AgentProcess.h"
#include "IsolatedEnv.h"
#include "LoopbackClient.h"
#include "UpdateListener.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QHostAddress>
#include <QTcpServer>
#include <QThread>
#include <future>
#include <gtest/gtest.h>

namespace {

// Runs a blocking client in another thread while this thread serves the
// listener's events.
bool probe(QByteArray& received)
{
    auto client = std::async(std::launch::async, [&received] {
        return readTcpUntilClosed(UpdateListener::kPort, received);
    });
    while (client.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready)
        QCoreApplication::processEvents();
    return client.get();
}

} // namespace

TEST(UpdateListener, EveryClientReadsExactlyTheProbeAnswer)
{
    UpdateListener listener;
    // Tests running in parallel hold the port for moments; wait for it a while.
    QDeadlineTimer patience(20000);
    bool listening = listener.startListener();
    while (!listening && !patience.hasExpired()) {
        QThread::msleep(50);
        listening = listener.startListener();
    }
    if (!listening)
        GTEST_SKIP() << "port 8999 is held by another process";
    for (int client = 0; client < 2; ++client) {
        QByteArray received;
        ASSERT_TRUE(probe(received)) << client;
        EXPECT_EQ(received, QByteArray("UpdaterRuning")) << client;
    }
}

TEST(UpdateListener, BusyPortLeavesTheListenerWithoutProbe)
{
    QTcpServer holder;
    const bool ours = holder.listen(QHostAddress::LocalHost, UpdateListener::kPort);
    // Held by us or by someone else: either way the port is taken.
    UpdateListener listener;
    EXPECT_FALSE(listener.startListener());
    if (ours) {
        // Connections go to the holder, which never answers.
        holder.close();
    }
}

TEST(UpdateListener, AgentRunsAndEndsWhileThePortIsBusy)
{
    IsolatedEnv env;
    QTcpServer holder;
    holder.listen(QHostAddress::LocalHost, UpdateListener::kPort);
    const AgentResult run = AgentProcess::run({QStringLiteral("-updater")}, 5000);
    EXPECT_TRUE(run.finished) << (run.standardOutput + run.standardError).toStdString();
    EXPECT_EQ(run.exitCode, 0) << (run.standardOutput + run.standardError).toStdString();
}
