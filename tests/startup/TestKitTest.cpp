// The shared test kit's own promises, which other areas' tests rely on.
#include "FakeReader.h"
#include "IsolatedEnv.h"
#include "ModalAnswerer.h"

#include <QDialog>
#include <QLocalSocket>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

// What the agent does towards the reader: connect, write, wait for the answer
// with blocking calls on this very thread.
QByteArray sendLikeTheAgent(const QByteArray& text)
{
    QLocalSocket socket;
    socket.connectToServer(QStringLiteral("updater_check_state"));
    if (!socket.waitForConnected(5000))
        return "no connection";
    socket.write(text);
    socket.waitForBytesWritten(5000);
    if (!socket.waitForReadyRead(5000))
        return "no answer";
    const QByteArray answer = socket.readAll();
    socket.close();
    return answer;
}

} // namespace

TEST(TestKit, FakeReaderAnswersBlockingSendersAndRecordsEachMessage)
{
    IsolatedEnv env;
    FakeReader reader;
    ASSERT_TRUE(reader.isListening());
    EXPECT_EQ(sendLikeTheAgent("update finished"), QByteArray("ok"));
    EXPECT_EQ(sendLikeTheAgent("close"), QByteArray("ok"));
    ASSERT_TRUE(reader.waitForMessages(2));
    EXPECT_EQ(reader.messages(), (QStringList{QStringLiteral("update finished"), QStringLiteral("close")}));
}

TEST(TestKit, ModalAnswererAnswersNestedDialogsInTurn)
{
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Outer"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* open = new QPushButton(QStringLiteral("&Open"), &dialog);
    layout->addWidget(open);
    int boxResult = -1;
    QObject::connect(open, &QPushButton::clicked, &dialog, [&]() {
        QMessageBox box(QMessageBox::Information, QStringLiteral("Inner"), QStringLiteral("Inner text"),
                        QMessageBox::Ok | QMessageBox::Cancel, &dialog);
        boxResult = box.exec();
        dialog.accept();
    });

    ModalAnswerer answerer;
    answerer.clickButton(QStringLiteral("Open")).clickButton(QStringLiteral("Cancel"), QStringLiteral("QMessageBox"));
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(boxResult, QMessageBox::Cancel);
    EXPECT_EQ(answerer.pending(), 0);
    ASSERT_EQ(answerer.seen().size(), 2);
    EXPECT_EQ(answerer.seen()[0].title, QStringLiteral("Outer"));
    EXPECT_EQ(answerer.seen()[1].className, QStringLiteral("QMessageBox"));
    EXPECT_TRUE(answerer.seen()[1].texts.contains(QStringLiteral("Inner text")));

    QDialog plain;
    answerer.done(7);
    EXPECT_EQ(plain.exec(), 7);
}
