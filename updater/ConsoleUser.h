#pragma once
// The console user and that user's home folder. They are found with two
// tools (who, then su), which take a noticeable while, so a run looks them up
// once: the lookup starts on a thread of its own as early as the run begins,
// and whoever needs the answer waits for it only then.
#include <QByteArray>
#include <QString>

struct ConsoleUser
{
    QString user;    // who's user names, trimmed (several: one text, one per line)
    QString home;    // su's output, trimmed; the home folder when `error` is empty
    QString error;   // why su gave no home folder; empty when it did
};

// Starts the lookup on a thread of its own, unless it has started already.
void StartConsoleUserLookup();

// The run's answer: waits for the lookup started above, or looks up now. The
// lookup's log lines ("login user: ", "login homePath: " ...) are written
// once, by the first caller.
ConsoleUser GetConsoleUser();

// Forgets the answer, so that the next GetConsoleUser looks again (a run looks
// once; tests stand for several runs).
void ForgetConsoleUser();

// What `who | cut -d' ' -f1 | sort | uniq` makes of who's output: the
// distinct names before each line's first blank, sorted by their bytes (as
// sort does in the C locale), one per line.
QByteArray LoggedInUserNames(const QByteArray& whoOutput);

// "<home>/Library/Preferences/com.velto-software.Velto.PDF.Reader.plist".
QString ReaderPreferencesIn(const QString& home);
