// Reply parsing: the service's XML reply into module records, the schedule
// file beside the agent and the reader's local module list.
#include "CReaderModuleManager.h"

#include "CKW_WideString.h"
#include "CRegister.h"
#include "CSetup_CommandLine.h"
#include "CUP_Log.h"
#include "CXML_Element.h"
#include "CommWs2qs.h"
#include "DirectionControls.h"
#include "ModuleRules.h"
#include "ReplyCompleteness.h"
#include "UpdaterApp.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <climits>
#include <memory>

namespace {

const QString kUpdaterKey = QStringLiteral("Software\\Velto Software\\Velto PDF Reader\\plugins\\Updater");

struct ElementDeleter
{
    void operator()(CXML_Element* element) const { CXML_Element::Destroy(element); }
};
using ElementPtr = std::unique_ptr<CXML_Element, ElementDeleter>;

ElementPtr parseXml(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return ElementPtr();
    return ElementPtr(CXML_Element::Parse(bytes.constData(), static_cast<size_t>(bytes.size()), false,
                                          nullptr, nullptr, false, false));
}

QString attrValue(const CXML_Element* element, const char* name)
{
    return Comm::ws2qs(element->GetAttrValue(CKW_ByteStringC(name)));
}

// Only the update service's own document is an answer. Captive portals,
// proxies and error pages send HTML (with or without an <html> element, which
// the lenient reader takes as some other root) or XML of their own ("<Error>",
// a feed); none of them may read as "nothing new". A document cut off before
// its root ended is an answer only through the modules that ended before the
// cut: with none, the service's answer never arrived.
bool isServiceAnswer(const CXML_Element* root, const ReplyCompleteness::Shape& shape)
{
    if (!root)
        return false;
    if (!(root->GetTagName(true) == "addons"))
        return false;
    return shape.rootEnded || shape.completeModules > 0;
}

bool isTrueUpper(const QString& value)
{
    return value.compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0;
}

std::string utf8(const QString& text)
{
    return text.toUtf8().toStdString();
}

// A text that the dialogs show as it is.
std::string shownText(const QString& text)
{
    return utf8(DirectionControls::Neutralised(text));
}

} // namespace

bool CReaderModuleManager::readBoundedFile(const QString& path, QByteArray& out)
{
    out.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    if (file.size() > kMaxXmlFileSize)
        return false;
    out = file.read(kMaxXmlFileSize + 1);
    if (out.size() > kMaxXmlFileSize) {   // grew while being read
        out.clear();
        return false;
    }
    return true;
}

void CReaderModuleManager::OnPaserModuleInfo(QString path)
{
    m_queryResult.bSuccess = true;
    m_queryResult.strText.clear();
    m_queryResult.bHasUpdate = false;
    ReleaseModuleInfo();
    const bool listMode = m_strType == QLatin1String("Update List");

    QByteArray bytes;
    if (!readBoundedFile(path, bytes)) {
        qDebug() << "Open Reply Xml File failed.";
        if (QFileInfo(path).size() > kMaxXmlFileSize) {
            CUP_Log::PrintLog(QStringLiteral("update reply over %1 bytes: a failed query").arg(kMaxXmlFileSize));
            m_queryResult.bSuccess = false;
        }
        return;
    }
    qDebug() << "inerfile: " << bytes.left(4096);
    if (bytes.isEmpty()) {
        if (theApp)
            theApp->bReplyParsed = false;
        return;
    }

    ElementPtr root = parseXml(bytes);
    const ReplyCompleteness::Shape shape = ReplyCompleteness::Measure(bytes);
    // A reply that is no answer is a failed query; from here on it is handled like text
    // without a root.
    if (!isServiceAnswer(root.get(), shape)) {
        CUP_Log::PrintLog(QStringLiteral("update reply is no answer of the update service: a failed query"));
        m_queryResult.bSuccess = false;
        root.reset();
    }
    // In a cut reply only the modules that ended before the cut are read; the
    // one the cut falls in (if any) is not offered.
    const unsigned modulesToRead = shape.rootEnded ? UINT_MAX : unsigned(shape.completeModules);
    if (root && !shape.rootEnded)
        CUP_Log::PrintLog(QStringLiteral("update reply is cut off: %1 complete modules are read")
                              .arg(shape.completeModules));
    bytes.clear();
    bool scheduleOk = true;
    const bool internalRoad = theApp && theApp->bInternalUpdate;
    if (internalRoad) {
        scheduleOk = CheckUpdateTime(root.get());
        if (root && attrValue(root.get(), "rollback").compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            theApp->bRollBack = true;
    }

    if (root && scheduleOk) {
        if (m_bAutoMode) {
            const QString major = attrValue(root.get(), "majorUpdate");
            if (major == QLatin1String("true") || major == QLatin1String("TRUE")) {
                CUP_Log::PrintLog(QStringLiteral("set m_bRgesterMajorUpgrade true: bAutoUpgrade majorUpdate"));
                if (theApp)
                    theApp->bMajorUpdate = true;
            }
        }

        QVector<_UpdaterInfo*> local;
        ParseUpdaterInfo(local);
        const CSetup_CommandLine* cmd = theApp ? theApp->GetCommandLine() : nullptr;
        const bool autoUpdaterRun = cmd && cmd->GetUpdaterType() == "Auto Updater";
        const bool autoType = m_strType == QLatin1String("Auto Updater");

        const CRegisterReader readerRecords;
        const unsigned count = root->CountChildren();
        unsigned modulesRead = 0;
        for (unsigned i = 0; i < count && modulesRead < modulesToRead; ++i) {
            CXML_Element* child = root->GetElement(i);
            if (!child)
                continue;
            ++modulesRead;
            MODULEINFO* module = AddModule(m_strType);
            ParseModuleInfo(child, module);
            const bool isUpdater = module->module_type == "updater";

            if (isUpdater) {
                module->bMajorUpgrade = CheckMajorVersionUpgrade(QString::fromStdString(module->version));
                CUP_Log::PrintLog(QStringLiteral("CheckMajorVersionUpgrade; bMajorUpgrade: %1;")
                                      .arg(module->bMajorUpgrade ? QStringLiteral("true") : QStringLiteral("false")));
            }

            bool upToDate = false;
            if (listMode || (autoType && module->autoCheck))
                upToDate = CheckModuleAvailable(module, local);
            else if (autoType && !isUpdater)
                upToDate = CheckAutoupdateModuleAvailable(module, local);

            if (QString::fromStdString(module->name).contains(QLatin1String("OCR_")))
                module->bOCR = true;

            const bool rollBackUpdater = isUpdater && theApp && theApp->bRollBack;
            if ((!module->result || upToDate) && !rollBackUpdater) {
                destroyRecord(module);
                continue;
            }

            const QString readerRecord =
                readerRecords.getString(kUpdaterKey, QString::fromStdString(module->name));
            if (readerRecord == QString::fromStdString(module->version) && !isUpdater) {
                destroyRecord(module);
                continue;
            }

            if (autoUpdaterRun && ParseRejectAutoUpdateInfo(module->name, module->version)) {
                destroyRecord(module);
                continue;
            }

            m_vecAvailable.append(module);

            if (listMode) {
                m_queryResult.bHasUpdate = true;
            } else if (QString::fromStdString(module->name) == m_strType) {
                module->bChosen = true;
            } else if (autoType) {
                const bool ok = CheckModuleAvailable(module, local);
                m_queryResult.bHasUpdate = true;
                if (!ok)
                    module->bChosen = true;
            }

            const bool forced = CheckForcedUpgradeVersion(module, local);
            if (module->forcedUpgrade && m_bAutoMode && forced) {
                QVector<_HasRejectForceUpdaterInfo*> rejected;
                ParseHasRejectForceUpdaterInfo(rejected);
                if (!CheckHasRejectForcedUpgrade(module, rejected)) {
                    if (theApp)
                        theApp->bForceUpgrade = true;
                    module->bForceSelected = true;
                    m_vecSelected.append(module);
                } else {
                    module->bForceSelected = false;
                }
                while (!rejected.isEmpty())
                    delete rejected.takeLast();
            }

            if (module->update_mode == 2)
                m_queryResult.bUpdateMode2 = true;
        }

        if (m_bAutoMode) {
            QVector<_HasRejectAutoUpdaterInfo*> rejectedAuto;
            ParseHasRejectAutoUpdaterInfo(rejectedAuto);
            DeleteHasRejectAutoUpdaterInfo(m_vecAvailable, rejectedAuto);
        }
        ReleaseUpdaterInfoList(local);
    }
    root.reset();

    DeletePatchUpdate();
    DeleteVeltoCloud();
    if (theApp)
        theApp->bReplyParsed = true;
}

void CReaderModuleManager::ParseModuleInfo(CXML_Element* element, MODULEINFO* module)
{
    module->SilentInstall = false;
    module->bMajorUpgrade = false;
    const int count = element->CountAttrs();
    for (int i = 0; i < count; ++i) {
        CKW_ByteString space;
        CKW_ByteString name;
        CKW_WideString wide;
        element->GetAttrByIndex(i, space, name, wide);
        QString value = Comm::ws2qs(wide);

        if (name == "name") {
            module->name = utf8(value);
        } else if (name == "title") {
            module->title = shownText(value);
        } else if (name == "version") {
            module->version = utf8(value);
        } else if (name == "size") {
            module->size = utf8(value);
        } else if (name == "description") {
            module->description = shownText(value);
        } else if (name == "url") {
            if (theApp && theApp->bInternalUpdate) {
                qDebug() << "origin url:" << value;
                qDebug() << "decode url:" << QUrl::fromEncoded(value.toUtf8()).toString(QUrl::FullyEncoded);
                value = QUrl(value).path(QUrl::FullyDecoded);
            }
            qDebug() << "CReaderModuleManager::ParseModuleInfo url:" << value;
            module->url = utf8(value);
        } else if (name == "regkey") {
            module->regkey = utf8(value);
        } else if (name == "level") {
            module->level = utf8(value);
        } else if (name == "result") {
            module->result = ModuleRules::IsTrueNoCase(value);
        } else if (name == "module_type") {
            module->module_type = utf8(value);
        } else if (name == "plugin") {
            module->plugin = ModuleRules::IsTrueNoCase(value);
        } else if (name == "isnew") {
            module->isnew = ModuleRules::IsTrueNoCase(value);
        } else if (name == "iscommon") {
            module->iscommon = ModuleRules::IsTrueNoCase(value);
        } else if (name == "parent") {
            module->parent = utf8(value);
        } else if (name == "update_mode") {
            bool ok = false;
            const int mode = value.toInt(&ok, 10);
            module->update_mode = ok ? mode : 0;
        } else if (name == "isInternalService") {
            module->isInternalService = utf8(value);
        } else if (name == "GlacierPDFStandard") {
            module->hasGlacierPDFStandard = "TRUE";
            module->GlacierPDFStandard = utf8(value);
        } else if (name == "forcedUpgrade") {
            if (isTrueUpper(value))
                module->forcedUpgrade = true;
        } else if (name == "SilentInstall") {
            if (isTrueUpper(value))
                module->SilentInstall = true;
        } else if (name == "releaseDate") {
            module->releaseDate = utf8(value);
        } else if (name == "autoCheck") {
            if (isTrueUpper(value))
                module->autoCheck = true;
        } else if (name == "pushUpdateTip") {
            if (isTrueUpper(value))
                module->pushUpdateTip = true;
        } else if (name == "md5") {
            module->md5 = utf8(value);
        } else if (name == "upgTipBtn") {
            module->upgTipBtn = shownText(value);
        } else if (name == "upgTipTitle") {
            module->upgTipTitle = shownText(value);
        } else if (name == "upgTipContent") {
            module->upgTipContent = shownText(value);
        } else if (name == "is_push") {
            if (isTrueUpper(value) || value == QLatin1String("1"))
                module->is_push = true;
        }
    }
}

bool CReaderModuleManager::CheckUpdateTime(CXML_Element* root)
{
    const QString path = GetScheduleTimePath();
    QString stored;
    {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            stored = QString::fromUtf8(file.read(kMaxXmlFileSize));
    }
    if (!root)
        return false;
    const QString value = attrValue(root, "scheduleTime");
    if (value.isEmpty()) {
        QFile::remove(path);
        return true;
    }
    if (value.compare(stored, Qt::CaseInsensitive) == 0)
        return true;

    QFile::remove(path);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(value.toUtf8()) != value.toUtf8().size()) {
        // A schedule that cannot be recorded would hold back every reply for
        // good; parse this one as if the schedule were unchanged.
        CUP_Log::PrintLog(QStringLiteral("CheckUpdateTime: cannot write ") + path);
        file.close();
        QFile::remove(path);
        return true;
    }
    file.close();
    return false;
}

QString CReaderModuleManager::GetScheduleTimePath()
{
    QDir dir(QCoreApplication::applicationDirPath());
    dir.cdUp();
    dir.cdUp();
    dir.cdUp();
    const QString path = dir.path() + QStringLiteral("/scheduleTime.txt");
    CUP_Log::PrintLog(QStringLiteral("GetScheduleTimePath: ") + path);
    return path;
}

void CReaderModuleManager::ParseUpdaterInfo(QVector<_UpdaterInfo*>& list)
{
    list.clear();
    const QString path = m_strReaderPath + QStringLiteral("/../Resources/") + QStringLiteral("UpdaterInfo.xml");
    QByteArray bytes;
    if (!readBoundedFile(path, bytes) || bytes.isEmpty() || !bytes.contains("updater_info"))
        return;
    ElementPtr root = parseXml(bytes);
    if (!root)
        return;
    const unsigned count = root->CountChildren();
    for (unsigned i = 0; i < count; ++i) {
        const CXML_Element* child = root->GetElement(i);
        if (!child)
            continue;
        auto* entry = new _UpdaterInfo;
        const int attrs = child->CountAttrs();
        for (int a = 0; a < attrs; ++a) {
            CKW_ByteString space;
            CKW_ByteString name;
            CKW_WideString value;
            child->GetAttrByIndex(a, space, name, value);
            if (name == "name") {
                entry->name = utf8(Comm::ws2qs(value));
            } else if (name == "version") {
                entry->version = utf8(Comm::ws2qs(value));
                m_strLastLocalVersion = Comm::ws2qs(value);
            }
        }
        const unsigned grandchildren = child->CountChildren();
        for (unsigned g = 0; g < grandchildren; ++g) {
            const CXML_Element* item = child->GetElement(g);
            if (!item)
                continue;
            const int itemAttrs = item->CountAttrs();
            for (int a = 0; a < itemAttrs; ++a) {
                CKW_ByteString space;
                CKW_ByteString name;
                CKW_WideString value;
                item->GetAttrByIndex(a, space, name, value);
                if (name == "path")
                    entry->paths.append(Comm::ws2qs(value));
            }
        }
        list.append(entry);
    }
}

void CReaderModuleManager::ReleaseUpdaterInfoList(QVector<_UpdaterInfo*>& list)
{
    while (!list.isEmpty())
        delete list.takeLast();
}

QUrl CReaderModuleManager::ResolvePackageUrl(const std::string& url)
{
    QUrl address(QString::fromStdString(url));
    if (!address.scheme().isEmpty() || !address.host().isEmpty())
        return address;
    const CSetup_CommandLine* cmd = theApp ? theApp->GetCommandLine() : nullptr;
    if (!theApp || !theApp->bInternalUpdate || !cmd)
        return address;
    QUrl base(QString::fromStdString(cmd->GetInternalUpdateURL()));
    if (base.scheme().isEmpty() || base.host().isEmpty())
        return address;
    QUrl resolved;
    resolved.setScheme(base.scheme());
    resolved.setHost(base.host());
    resolved.setPort(base.port());
    resolved.setUserName(base.userName());
    resolved.setPath(QString::fromStdString(url), QUrl::DecodedMode);
    return resolved;
}
