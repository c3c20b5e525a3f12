#pragma once
// Where the reader's language choice and translation catalogues come from.
#include <QString>

// The console user's preference plist of the reader (empty when the user or
// the home folder cannot be found), from the run's one console-user lookup.
QString GetUserPlitPath();

// The reader's catalogue: "<exe>/../../../lang/<locale>/brightleaf_<locale>.qm",
// empty when the language has no row in the package type's table. The country
// is accepted and not used.
QString getLanFilePath(int nChooseLan, int nChooseCountry);
// Qt's catalogue: "<folder>/../../../lang/<locale>/qt_<locale>.qm" with folder
// "Brightleaf_UpdateOldPath" of the reader's settings (the executable folder
// when empty); without a row, just "<folder>/../../..".
QString getGLanFilePath(int nChooseLan, int nChooseCountry);

// The same paths for a given executable folder and package type.
QString lanFilePathFor(const QString& exeDir, const QString& packageType, int nChooseLan);
QString gLanFilePathFor(const QString& folder, const QString& packageType, int nChooseLan);

// The reader's language choice under "Preferences/Languages" of the given
// preference plist (the reader's settings when it does not exist).
struct LanguageChoice
{
    int nChooseLanType = 1;
    int nChooseLan = 31;        // QLocale::English
    int nChooseCountry = 225;   // QLocale::UnitedStates
};
LanguageChoice ReadLanguageChoice(const QString& plistPath);

// The run's language: the console user's choice (which waits for the run's
// console-user lookup), logged, with the reader's and Qt's catalogues for it
// installed in the application when they load. Done once per run; later calls
// give the same choice.
LanguageChoice InstallReaderLanguage();
