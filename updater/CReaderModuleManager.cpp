// The module manager's lists, selection, download control and relays.
#include "CReaderModuleManager.h"

#include "CSetup_CommandLine.h"
#include "CUP_Log.h"
#include "HMac.h"
#include "LocaleInfo.h"
#include "UpdaterApp.h"

CReaderModuleManager::CReaderModuleManager(QString type, QObject* parent)
    : QObject(parent), m_strType(type)
{
    if (theApp && theApp->GetCommandLine())
        m_strReaderPath = QString::fromStdString(theApp->GetCommandLine()->GetReaderPathFromcmd());
}

void CReaderModuleManager::setLangParm(int language, int country)
{
    m_nLanguage = language;
    m_nCountry = country;
}

QString CReaderModuleManager::readerVersion() const
{
    if (theApp && theApp->GetCommandLine())
        return QString::fromStdString(theApp->GetCommandLine()->GetReaderVersion());
    return QString();
}

void CReaderModuleManager::destroyRecord(MODULEINFO* module)
{
    if (!module)
        return;
    m_vecSelected.removeAll(module);
    m_vecAllModules.removeAll(module);
    m_vecAvailable.removeAll(module);
    if (m_pCurDownload == module)
        m_pCurDownload = nullptr;
    delete module;
}

void CReaderModuleManager::ReleaseModuleInfo()
{
    const QVector<MODULEINFO*> owned = m_vecAvailable;
    m_vecAvailable.clear();
    m_vecSelected.clear();
    m_pCurDownload = nullptr;
    for (MODULEINFO* module : owned) {
        m_vecAllModules.removeAll(module);
        delete module;
    }
    // Records still here were created but never reached the available list;
    // a parse deletes those itself, so only pointers are left to drop.
    m_vecAllModules.clear();
}

MODULEINFO* CReaderModuleManager::AddModule(QString type)
{
    auto* module = new MODULEINFO;
    module->type = type.toStdString();
    m_vecAllModules.append(module);
    return module;
}

MODULEINFO* CReaderModuleManager::GetAvailabletModule(int index) const
{
    if (index < 0 || index >= m_vecAvailable.size())
        return nullptr;
    return m_vecAvailable.at(index);
}

void CReaderModuleManager::RemoveAvailableModule(int index)
{
    if (index < 0 || index >= m_vecAvailable.size())
        return;
    destroyRecord(m_vecAvailable.at(index));
}

MODULEINFO* CReaderModuleManager::CloneAvailableModuleInfo(MODULEINFO* module)
{
    if (!module)
        return nullptr;
    auto* copy = new MODULEINFO;
    copy->type = module->type;
    copy->name = module->name;
    copy->version = module->version;
    copy->description = module->description;
    copy->size = module->size;
    copy->url = module->url;
    copy->level = module->level;
    copy->regkey = module->regkey;
    copy->result = module->result;
    copy->bChosen = module->bChosen;
    copy->title = module->title;
    copy->module_type = module->module_type;
    copy->parent = module->parent;
    copy->is_push = module->is_push;
    m_vecAvailable.append(copy);
    return copy;
}

bool CReaderModuleManager::isSilentUpdate() const
{
    if (m_vecAvailable.isEmpty())
        return false;
    for (const MODULEINFO* module : m_vecAvailable) {
        if (!module->SilentInstall)
            return false;
    }
    return true;
}

MODULEINFO* CReaderModuleManager::GetSelModule(int index) const
{
    if (index < 0 || index >= m_vecSelected.size())
        return nullptr;
    return m_vecSelected.at(index);
}

void CReaderModuleManager::AddSelModule(MODULEINFO* module)
{
    m_vecSelected.append(module);
}

void CReaderModuleManager::AddSelModule(QString name)
{
    const QString wanted = name.trimmed();
    // An empty text is contained in every name; it must not pick a module.
    if (wanted.isEmpty())
        return;
    for (MODULEINFO* module : m_vecAvailable) {
        if (QString::fromStdString(module->name).contains(wanted, Qt::CaseSensitive)) {
            m_vecSelected.append(module);
            return;
        }
    }
}

int CReaderModuleManager::GetModuleSelIndex(const MODULEINFO* module) const
{
    if (!module)
        return -1;
    for (int i = 0; i < m_vecSelected.size(); ++i) {
        if (m_vecSelected.at(i) == module)
            return i;
    }
    return -1;
}

MODULEINFO* CReaderModuleManager::GetNextSelModule(const MODULEINFO* module) const
{
    const int position = module ? GetModuleSelIndex(module) + 1 : 0;
    return GetSelModule(position);
}

void CReaderModuleManager::Download(const MODULEINFO* module)
{
    if (m_bDownloadBusy || !module)
        return;
    if (windowStart()) {
        m_bQueryBusy = false;
        return;
    }
    // Without a window nothing can be downloaded: every selected module ends
    // as failed, so the list does not wait for progress that never comes.
    CUP_Log::PrintLog(QStringLiteral("Download: no download window"));
    const QVector<MODULEINFO*> selected = m_vecSelected;
    for (const MODULEINFO* sel : selected)
        emit sSendInstallProgress(QString::fromStdString(sel->name), -1);
}

void CReaderModuleManager::stopDownload() { windowCancel(); }
void CReaderModuleManager::OnDownloadPause() { windowPause(); }
void CReaderModuleManager::OnDownloadResume() { windowResume(); }

void CReaderModuleManager::getDownProgress(QString name, double npos)
{
    emit sSendDownloadProgress(name, npos);
}

void CReaderModuleManager::setInstallProgress(QString name, int npos)
{
    emit sSendInstallProgress(name, npos);
}

void CReaderModuleManager::startInstall(QString name)
{
    emit sSendInstallPkg(name);
}

void CReaderModuleManager::Slot_SetCurrentDownloadModule(QString name)
{
    const std::string wanted = name.toStdString();
    for (MODULEINFO* module : m_vecSelected) {
        if (module->name == wanted)
            m_pCurDownload = module;
    }
}

QString CReaderModuleManager::GetLocalLangName() const
{
    const auto& table = LocaleTableForPackageType(UpdaterApp::GetPackageType());
    if (const _LocaleInfo* row = FindLocaleInfo(table, m_nLanguage))
        return row->locale;
    return QStringLiteral("en-US");
}

bool CReaderModuleManager::ModuleCallback(std::string type, CReaderModuleManager* manager, bool flag)
{
    if (!theApp)
        return false;
    theApp->ShowDownloadDlg(type, flag, false, false, false, manager);
    return true;
}

QString CReaderModuleManager::HMac(QByteArray key, QByteArray message)
{
    return HmacMd5Hex(key, message);
}
