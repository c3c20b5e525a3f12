#pragma once
// Shared pieces of the end-to-end tests: a run of the agent inside the test
// process (isolated folders, the controller published as theApp, a module
// manager), module records for the list, and readers of the list's rows.
#include "CReaderModuleManager.h"
#include "CSetup_CommandLine.h"
#include "IsolatedEnv.h"
#include "MODULEINFO.h"
#include "QtPrinters.h"
#include "ScheduleFileGuard.h"
#include "UpdaterApp.h"
#include "dlgfound.h"

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QPushButton>
#include <QStandardItem>
#include <QStandardItemModel>
#include <QTextEdit>
#include <QTreeView>
#include <deque>
#include <memory>
#include <gtest/gtest.h>


// Records handed to a manager's selection by hand. They are never freed: the
// hidden download window keeps pointers to the records it was given for as
// long as the process lives.
inline MODULEINFO* keptRecord(const std::string& name, const std::string& title, const std::string& size,
                              const std::string& url, const std::string& description = std::string())
{
    static std::deque<MODULEINFO> records;
    records.emplace_back();
    MODULEINFO& m = records.back();
    m.type = "Update List";
    m.name = name;
    m.title = title;
    m.size = size;
    m.url = url;
    m.description = description;
    m.module_type = "basic";
    m.result = true;
    return &m;
}

class AgentRunInProcess
{
public:
    ~AgentRunInProcess()
    {
        manager.reset();
        theApp = nullptr;
        app.reset();
        cmd.reset();
    }

    // Parses the command text, publishes the controller, and makes a manager
    // of the command line's type.
    void start(const QString& commandText)
    {
        manager.reset();
        theApp = nullptr;
        cmd = std::make_unique<CSetup_CommandLine>();
        cmd->ProcessCmdLine(commandText);
        app = std::make_unique<UpdaterApp>(cmd.get());
        theApp = app.get();
        manager = std::make_unique<CReaderModuleManager>(QString::fromStdString(cmd->GetUpdaterType()));
    }

    IsolatedEnv env;
    std::unique_ptr<CSetup_CommandLine> cmd;
    std::unique_ptr<UpdaterApp> app;
    std::unique_ptr<CReaderModuleManager> manager;
};

// Read-only views of a download-and-install list.
struct ListView
{
    explicit ListView(const QWidget* dialog) : dlg(dialog) {}

    QStandardItemModel* model() const
    {
        return qobject_cast<QStandardItemModel*>(dlg->findChild<QTreeView*>(QStringLiteral("treeView"))->model());
    }
    int rows() const { return model()->rowCount(); }
    QString cell(int row, int column) const
    {
        const QStandardItem* item = model()->item(row, column);
        return item ? item->text() : QStringLiteral("<none>");
    }
    QStringList column(int c) const
    {
        QStringList out;
        for (int r = 0; r < rows(); ++r)
            out << cell(r, c);
        return out;
    }
    // "success", "warning" or "" for the progress cell's icon.
    QString icon(int row) const
    {
        const QStandardItem* item = model()->item(row, 2);
        if (!item || item->icon().isNull())
            return QString();
        const QImage shown = item->icon().pixmap(16, 16).toImage();
        if (shown == QIcon(QStringLiteral(":/res/popup_success.png")).pixmap(16, 16).toImage())
            return QStringLiteral("success");
        if (shown == QIcon(QStringLiteral(":/res/popup_warning.png")).pixmap(16, 16).toImage())
            return QStringLiteral("warning");
        return QStringLiteral("other");
    }
    QPushButton* download() const { return dlg->findChild<QPushButton*>(QStringLiteral("btn_download")); }
    QPushButton* close() const { return dlg->findChild<QPushButton*>(QStringLiteral("btn_close")); }
    QString description() const
    {
        return dlg->findChild<QTextEdit*>(QStringLiteral("txt_desc"))->toPlainText();
    }

    const QWidget* dlg;
};
