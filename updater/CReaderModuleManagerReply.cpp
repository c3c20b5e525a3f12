// Reply parsing (pending the core XML reader): no reply is parsed yet.
#include "CReaderModuleManager.h"

#include "UpdaterApp.h"

void CReaderModuleManager::OnPaserModuleInfo(QString path)
{
    Q_UNUSED(path)
    m_queryResult.bSuccess = true;
    m_queryResult.strText.clear();
    m_queryResult.bHasUpdate = false;
    ReleaseModuleInfo();
}
void CReaderModuleManager::ParseModuleInfo(CXML_Element*, MODULEINFO*) {}
bool CReaderModuleManager::CheckUpdateTime(CXML_Element*) { return true; }
QString CReaderModuleManager::GetScheduleTimePath() { return QString(); }
void CReaderModuleManager::ParseUpdaterInfo(QVector<_UpdaterInfo*>& list) { list.clear(); }
void CReaderModuleManager::ReleaseUpdaterInfoList(QVector<_UpdaterInfo*>& list)
{
    while (!list.isEmpty())
        delete list.takeLast();
}
QUrl CReaderModuleManager::ResolvePackageUrl(const std::string& url) { return QUrl(QString::fromStdString(url)); }
bool CReaderModuleManager::readBoundedFile(const QString&, QByteArray&) { return false; }
