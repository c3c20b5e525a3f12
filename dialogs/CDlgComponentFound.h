#pragma once
// The first window of a component install: names the requested component (or
// the first five of a list), describes it, and asks whether to download and
// install it now; a link offers the component for a later download. Yes
// accepts (exec() returns 1), No or closing rejects.
#include "ComponentInfo.h"

#include <QDialog>

class Ui_DlgComponentFound;

class CDlgComponentFound : public QDialog
{
    Q_OBJECT
public:
    CDlgComponentFound(ComponentInfo& info, QWidget* parent = nullptr);
    ~CDlgComponentFound() override;

    void init(ComponentInfo& info);

private:
    Ui_DlgComponentFound* ui = nullptr;
    QSize m_formSize;   // the size the form was drawn at: the smallest the prompt gets
};
