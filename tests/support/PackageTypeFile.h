#pragma once
// The package type of the bundle is read beside the running executable
// (<exe dir>/../Resources/packagetype.xml); a test that needs one places the
// file there for its lifetime. Every test executable shares that folder, so
// areas that use it hold the shared-state lock (tests/CMakeLists.txt).
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QString>

class PackageTypeFile
{
public:
    explicit PackageTypeFile(const QString& name)
    {
        const QString dir = QCoreApplication::applicationDirPath().chopped(6) + QStringLiteral("/Resources");
        m_path = dir + QStringLiteral("/packagetype.xml");
        m_created = !QFile::exists(m_path);
        if (m_created) {
            QDir().mkpath(dir);
            QFile file(m_path);
            if (file.open(QIODevice::WriteOnly))
                file.write(QStringLiteral("<!DOCTYPE packagetype><packagetype name=\"%1\"/>").arg(name).toUtf8());
        }
    }
    ~PackageTypeFile()
    {
        if (m_created)
            QFile::remove(m_path);
    }
    PackageTypeFile(const PackageTypeFile&) = delete;
    PackageTypeFile& operator=(const PackageTypeFile&) = delete;

    // False when a file already stood there (the test cannot choose the type).
    bool created() const { return m_created; }

private:
    QString m_path;
    bool m_created = false;
};
