// The Qt widget of ComboBoxFS: made with no parent; ComboBoxFS::Create
// places it. Owns the entries' records (one per entry, freed when the entry
// goes, the list is cleared or the widget goes) and drops the entries of
// vanished folders when the mouse is pressed on it.
#pragma once

#include "ComboBoxFS.h"
#include "ControlLifetime.h"

#include <QComboBox>
#include <QMetaType>
#include <QString>

#include <memory>
#include <vector>

namespace AUILib {

// The record behind one entry.
struct KwTagMRUComboBoxItem_Qt {
    ComboBoxFS::ItemType type = ComboBoxFS::StandardFolder;
    int tag = 0;
    QString path;
    QString displayName;
};

using KwLPMRUComboBoxItem_Qt = KwTagMRUComboBoxItem_Qt*;

class ComboBoxFSQt : public QComboBox, public ControlOwnerSlot<ComboBoxFS> {
    Q_OBJECT

public:
    ComboBoxFSQt();
    ~ComboBoxFSQt() override;

    // A new record owned by this widget, to be put in an entry's user role.
    KwLPMRUComboBoxItem_Qt NewRecord(ComboBoxFS::ItemType type, int tag, const QString& path,
                                     const QString& displayName);
    // The entry's record, null when it has none.
    KwLPMRUComboBoxItem_Qt RecordAt(int index) const;
    // Copies the entry's record through itemCache; false when it has none.
    bool ReadRecord(int index, ComboBoxFS::FSData& out);

    static QString BrowseText();

protected:
    bool event(QEvent* event) override;

private:
    // Frees the records no entry refers to any more.
    void PruneRecords();

    ComboBoxFS::FSData itemCache_;
    std::vector<std::unique_ptr<KwTagMRUComboBoxItem_Qt>> records_;
};

} // namespace AUILib

Q_DECLARE_METATYPE(AUILib::KwLPMRUComboBoxItem_Qt)
