#pragma once
// The request of a component install, handed to the component prompt.
#include <QString>

struct ComponentInfo
{
    QString productName;     // always the product's name
    QString readerVersion;   // the reader's version from the command line
    QString componentList;   // the command line's type text: one name or a comma list
    QString localLangName;   // the module manager's local language name
    QString edition;         // edition text shown in the prompt's link
};
