#include "ComboBoxFSQt.h"

#include "WideQt.h"

#include <QAbstractItemModel>
#include <QEvent>
#include <QFile>

#include <algorithm>
#include <unordered_set>

namespace AUILib {

namespace {

void RegisterRecordType()
{
    static const int id = qRegisterMetaType<KwLPMRUComboBoxItem_Qt>("KwLPMRUComboBoxItem_Qt");
    (void)id;
}

} // namespace

ComboBoxFSQt::ComboBoxFSQt() : QComboBox(nullptr)
{
    RegisterRecordType();
    QAbstractItemModel* entries = model();
    connect(entries, &QAbstractItemModel::rowsRemoved, this, [this] { PruneRecords(); });
    connect(entries, &QAbstractItemModel::modelReset, this, [this] { PruneRecords(); });
}

ComboBoxFSQt::~ComboBoxFSQt() = default;

QString ComboBoxFSQt::BrowseText() { return QObject::tr("<Browse...>"); }

KwLPMRUComboBoxItem_Qt ComboBoxFSQt::NewRecord(ComboBoxFS::ItemType type, int tag, const QString& path,
                                               const QString& displayName)
{
    auto record = std::make_unique<KwTagMRUComboBoxItem_Qt>();
    record->type = type;
    record->tag = tag;
    record->path = path;
    record->displayName = displayName;
    records_.push_back(std::move(record));
    return records_.back().get();
}

KwLPMRUComboBoxItem_Qt ComboBoxFSQt::RecordAt(int index) const
{
    const QVariant data = itemData(index, Qt::UserRole);
    if (data.isNull() || !data.canConvert<KwLPMRUComboBoxItem_Qt>())
        return nullptr;
    const KwLPMRUComboBoxItem_Qt record = data.value<KwLPMRUComboBoxItem_Qt>();
    // Only records of this widget are read: another pointer value put in
    // the role by someone else names nothing here.
    const bool ours = std::any_of(records_.begin(), records_.end(),
                                  [record](const std::unique_ptr<KwTagMRUComboBoxItem_Qt>& held) {
                                      return held.get() == record;
                                  });
    return ours ? record : nullptr;
}

bool ComboBoxFSQt::ReadRecord(int index, ComboBoxFS::FSData& out)
{
    const KwLPMRUComboBoxItem_Qt record = RecordAt(index);
    if (!record)
        return false;
    itemCache_.type = record->type;
    itemCache_.tag = record->tag;
    itemCache_.path = ToWide(record->path);
    itemCache_.displayName = ToWide(record->displayName);
    out = itemCache_;
    return true;
}

void ComboBoxFSQt::PruneRecords()
{
    std::unordered_set<KwLPMRUComboBoxItem_Qt> used;
    for (int i = 0; i < count(); ++i) {
        const QVariant data = itemData(i, Qt::UserRole);
        if (data.canConvert<KwLPMRUComboBoxItem_Qt>())
            used.insert(data.value<KwLPMRUComboBoxItem_Qt>());
    }
    records_.erase(std::remove_if(records_.begin(), records_.end(),
                                  [&used](const std::unique_ptr<KwTagMRUComboBoxItem_Qt>& record) {
                                      return used.count(record.get()) == 0;
                                  }),
                   records_.end());
}

bool ComboBoxFSQt::event(QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        const QString browse = BrowseText();
        for (int i = 0; i < count();) {
            const KwLPMRUComboBoxItem_Qt record = RecordAt(i);
            if (!record || itemText(i).compare(browse, Qt::CaseInsensitive) == 0 || record->path.isEmpty() ||
                QFile::exists(record->path)) {
                ++i;
                continue;
            }
            removeItem(i);
        }
        if (ComboBoxFS* owner = GetOwner())
            owner->AutoUpdateComboboxViewWidth();
    }
    return QComboBox::event(event);
}

} // namespace AUILib
