#pragma once
// Shared helpers of the Kzip tests: a sandbox with the agent's data root and
// its "updater/uncompress/" folder, and small file utilities.
#include "IsolatedEnv.h"
#include "KzipWriter.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QStringList>

#include <random>
#include <string>

struct KzipSandbox
{
    KzipSandbox()
    {
        QDir().mkpath(uncompress());
        QDir().mkpath(env.root() + QStringLiteral("/a/b/c"));   // the unpacker makes only the last level
    }

    QString uncompress() const { return env.agentDataRoot() + QStringLiteral("updater/uncompress/"); }
    QString package() const { return env.root() + QStringLiteral("/pkg.kzip"); }
    // Deep enough that a name climbing out with ".." still lands in the sandbox.
    QString output() const { return env.root() + QStringLiteral("/a/b/c/out"); }

    // Every file under the sandbox, relative to its root, sorted.
    QStringList files() const
    {
        QStringList out;
        QDirIterator it(env.root(), QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
        while (it.hasNext())
            out << QDir(env.root()).relativeFilePath(it.next());
        out.sort();
        return out;
    }

    IsolatedEnv env;
};

inline bool writeBytes(const QString& path, const std::string& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate)
        && f.write(bytes.data(), qint64(bytes.size())) == qint64(bytes.size());
}

inline std::string readBytes(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return "<missing>";
    const QByteArray all = f.readAll();
    return std::string(all.constData(), size_t(all.size()));
}

inline std::string randomBytes(size_t n, unsigned seed)
{
    std::mt19937 gen(seed);
    std::string out(n, '\0');
    for (char& c : out)
        c = char(gen());
    return out;
}
