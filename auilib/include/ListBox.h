// ListBox: the multi-column list box (form classes QTableWidget and QListWidget).
#pragma once

#include "BaseGUIObject.h"

#include <memory>

namespace AUILib {

class ListBoxImpl;

class ListBox : public BaseGUIObject {
public:
    ListBox();
    ~ListBox() override;

    bool Create(QWidget* parent) override;
    std::shared_ptr<BaseImpl> GetBaseImpl() const override;
    SkinManager* GetSkinManager() override;

private:
    std::shared_ptr<ListBoxImpl> impl_;
};

} // namespace AUILib
