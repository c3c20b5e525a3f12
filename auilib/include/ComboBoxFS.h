// ComboBoxFS: a folder chooser as a drop-down list: the user's standard
// folders, then "<Browse...>", which asks for a folder and adds it. Entries
// whose folders disappeared go when the user presses the mouse on the box.
//
// Once the widget is gone every operation does nothing and returns its
// neutral value (-1, false); Create throws.
#pragma once

#include "BaseGUIObject.h"
#include "Signal.h"

#include <memory>
#include <string>

namespace AUILib {

class ComboBoxFS : public BaseGUIObject {
public:
    class impl;

    enum ItemType : int {
        StandardFolder = 0,
        BrowseEntry = 1,
        BrowsedFolder = 2,
        CurrentFolder = 4,
    };

    struct FSData {
        ItemType type = StandardFolder;
        int tag = 0;  // carried unchanged: 0 standard and browse, 1 browsed
        std::wstring path;
        std::wstring displayName;
    };

    ComboBoxFS();
    ~ComboBoxFS() override;

    bool Create(QWidget* parent) override;
    Size IdealSize() override;
    std::shared_ptr<BaseImpl> GetBaseImpl() const override;
    SkinManager* GetSkinManager() override;

    // Lists the standard folders (a missing one with an empty path) and the
    // browse entry; the first folder becomes current.
    virtual void InitComboBoxFS();

    // Appends an entry (icon from the folder when it exists); Count() - 1.
    int AddSearchFolderItem(const std::wstring& name, ItemType type, int tag, const std::wstring& path,
                            const std::wstring& displayName);
    // Only for an existing folder: Count() - 1, else -1 and nothing added.
    int AddSearchFolderItem(const std::wstring& name, FSData& data);
    // As the one before, at index; returns index, or -1.
    int InsertSearchFolderItem(int index, const std::wstring& name, FSData& data);
    int Count();
    // False (out unchanged) when the entry has no record.
    bool GetCurSearchFolderItem(FSData& out);
    bool GetSearchFolderItem(FSData& out, int index);
    void SetCurSel(int index);
    // The open list at least as wide as its widest entry.
    void AutoUpdateComboboxViewWidth();
    // Accepted for callers of other combo boxes; no effect.
    void UpdateCustomColors();

    // Handlers of these must not delete the widget or its window at once:
    // end a dialog with Done, close() or deleteLater (see Signal.h).
    // The current entry changed, for any cause.
    Signal<int> OnCurrentIndexChanged;
    // After the user chose an entry (the browse entry's folder dialog
    // included): the entry current then.
    Signal<int> OnActivated;

private:
    std::shared_ptr<impl> impl_;
};

} // namespace AUILib
