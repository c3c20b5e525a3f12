#include "CRegister.h"
#include "Platform.h"

#include <QFile>
#include <QSettings>
#include <memory>

namespace {

const QString kOrganisation = QStringLiteral("Velto Software");
const QString kApplication = QStringLiteral("Velto.PDF.Reader");
const QString kProductName = QStringLiteral("Velto PDF Reader");
const QString kClassic = QStringLiteral("Classic");

void defaultOwner(QString& organisation, QString& application)
{
    if (organisation.isEmpty() && application.isEmpty()) {
        organisation = kOrganisation;
        application = kApplication;
    }
}

bool isMap(const QVariant& v)
{
    return v.userType() == QMetaType::QVariantMap || v.userType() == QMetaType::QVariantHash;
}

} // namespace

QString LocalMachinePlistPath()
{
    return Platform::systemPath(
        QStringLiteral("/usr/local/share/velto/%1/LocalMachine.plist").arg(kProductName));
}

// Registry-style key paths use backslashes; QSettings groups use slashes.
static QString slashed(QString path)
{
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return path;
}

bool CheckIsContinue()
{
    QSettings machine(LocalMachinePlistPath(), QSettings::NativeFormat);
    const QString flag = machine.value(
        QStringLiteral("HKEY_LOCAL_MACHINE/SOFTWARE/Velto Software/%1/bContinue").arg(kProductName),
        QStringLiteral("1")).toString();
    return flag == QLatin1String("1");
}

bool CheckSingleKeysPlist(const QString& name, QVariant& value, QVariant& defaultValue,
                          QString organisation, QString application)
{
    defaultOwner(organisation, application);
    const QString settingsName = slashed(name);
    QSettings settings(organisation, application);
    if (CheckIsContinue()) {
        value = settings.value(settingsName, defaultValue);
    } else if (settings.contains(kClassic)) {
        value = settings.value(kClassic).toMap().value(settingsName, defaultValue);
    }
    return settings.status() == QSettings::NoError;
}

bool WriteSingleKeysPlist(const QString& name, const QVariant& value,
                          QString organisation, QString application)
{
    defaultOwner(organisation, application);
    const QString settingsName = slashed(name);
    QSettings settings(organisation, application);
    if (CheckIsContinue()) {
        settings.setValue(settingsName, value);
    } else {
        QVariantMap classic;
        if (settings.contains(kClassic)) {
            const QVariant stored = settings.value(kClassic);
            // Replacing an entry we cannot read as a map would wipe every
            // setting the reader keeps there.
            if (!isMap(stored))
                return false;
            classic = stored.toMap();
        }
        classic.insert(settingsName, value);
        settings.setValue(kClassic, classic);
    }
    settings.sync();
    return settings.status() == QSettings::NoError;
}

CRegister::~CRegister() = default;

QString CRegister::settingsName(const QString& key, const QString& name)
{
    return slashed(name.isEmpty() ? key : key + QLatin1Char('\\') + name);
}

QString CRegister::regGetString(QString key, QString name)
{
    return CRegisterReader().getString(key, name);
}

bool CRegister::regSetString(QString key, QString name, QString value)
{
    return WriteSingleKeysPlist(settingsName(key, name), value, kOrganisation, kApplication);
}

quint32 CRegister::regGetDword(QString key, QString name)
{
    QVariant value;
    QVariant defaultValue = 0;
    CheckSingleKeysPlist(settingsName(key, name), value, defaultValue, kOrganisation, kApplication);
    return static_cast<quint32>(value.toULongLong() & 0xffffffffULL);
}

bool CRegister::regSetDword(QString key, QString name, quint32 value)
{
    return WriteSingleKeysPlist(settingsName(key, name), QVariant::fromValue<uint>(value),
                                kOrganisation, kApplication);
}

QVariant CRegister::regGetVariant(const QString& name, const QVariant& defaultValue,
                                  const QString& plistFile, const QString& organisation,
                                  const QString& application)
{
    QString org = organisation;
    QString app = application;
    defaultOwner(org, app);
    const bool useFile = !plistFile.isEmpty() && QFile::exists(plistFile);
    std::unique_ptr<QSettings> settings(useFile ? new QSettings(plistFile, QSettings::NativeFormat)
                                                : new QSettings(org, app));
    if (CheckIsContinue())
        return settings->value(name, defaultValue);
    if (settings->contains(kClassic))
        return settings->value(kClassic).toMap().value(name, defaultValue);
    return QVariant();
}

CRegisterReader::CRegisterReader()
    : m_settings(kOrganisation, kApplication)
    , m_continuous(CheckIsContinue())
    , m_hasClassic(!m_continuous && m_settings.contains(kClassic))
    , m_classic(m_hasClassic ? m_settings.value(kClassic).toMap() : QVariantMap())
{
}

QString CRegisterReader::getString(const QString& key, const QString& name) const
{
    const QString valueName = CRegister::settingsName(key, name);
    if (m_continuous)
        return m_settings.value(valueName).toString();
    return m_hasClassic ? m_classic.value(valueName).toString() : QString();
}
