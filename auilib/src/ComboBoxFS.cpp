#include "ComboBoxFS.h"

#include "AUILibConfig.h"
#include "ComboBoxFSImplQt.h"
#include "EmissionHold.h"
#include "WideQt.h"

#include <QAbstractItemView>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QFontMetrics>
#include <QStandardPaths>

#include <algorithm>

namespace AUILib {

namespace {

QString SystemFolderDialog(const QString& caption, const QString& startFolder)
{
    return QFileDialog::getExistingDirectory(nullptr, caption, startFolder, QFileDialog::ShowDirsOnly);
}

ComboBoxFS::impl::FolderChooser& Chooser()
{
    static ComboBoxFS::impl::FolderChooser chooser = SystemFolderDialog;
    return chooser;
}

// The folder's icon; false (and no icon) when the folder does not exist.
bool FolderIcon(const QString& path, QIcon& icon)
{
    const QFileInfo info(path);
    if (!info.exists())
        return false;
    icon = QFileIconProvider().icon(info);
    return true;
}

} // namespace

ComboBoxFS::impl::FolderChooser ComboBoxFS::impl::SetFolderChooser(FolderChooser chooser)
{
    FolderChooser before = Chooser();
    Chooser() = chooser ? std::move(chooser) : FolderChooser(SystemFolderDialog);
    return before;
}

ComboBoxFS::impl::impl(ComboBoxFS& owner) : widget_(new ComboBoxFSQt, WidgetOwnership::Made, &owner)
{
    ComboBoxFSQt* widget = widget_.Get();
    widget_.Connect(widget, QOverload<int>::of(&QComboBox::activated), [this](int index) { OnActivated(index); });
    widget_.Connect(widget, QOverload<int>::of(&QComboBox::currentIndexChanged),
                    [this](int index) { OnCurrentIndexChanged(index); });
}

ComboBoxFS::impl::~impl() = default;

QWidget* ComboBoxFS::impl::GetWndPtr() { return widget_.data(); }

void ComboBoxFS::impl::OnCurrentIndexChanged(int index)
{
    ComboBoxFSQt* widget = widget_.Get();
    if (widget && index >= 0 && widget->itemText(index).compare(ComboBoxFSQt::BrowseText(), Qt::CaseInsensitive) != 0)
        previousIndex = index;
    if (ComboBoxFS* owner = widget_.Owner()) {
        const EmissionHold hold(owner->GetBaseImpl());
        owner->OnCurrentIndexChanged.Emit(index);
    }
}

void ComboBoxFS::impl::OnActivated(int)
{
    ComboBoxFSQt* widget = widget_.Get();
    ComboBoxFS* owner = widget_.Owner();
    if (!widget || !owner || widget->currentIndex() == -1)
        return;
    const std::shared_ptr<BaseImpl> hold = owner->GetBaseImpl();
    if (widget->currentText().compare(ComboBoxFSQt::BrowseText(), Qt::CaseInsensitive) == 0) {
        const QString home = QStandardPaths::writableLocation(QStandardPaths::HomeLocation);
        const QPointer<ComboBoxFSQt> alive = widget;
        const QString dir = Chooser()(QObject::tr("Select the folder you want to search."), home);
        // The dialog ran the event loop: the box or its control may be gone.
        if (!alive || !widget_.Owner())
            return;
        owner = widget_.Owner();
        if (dir.isNull()) {
            widget->setCurrentIndex(previousIndex);
        } else {
            // Compared as written and in canonical form: a link to a listed
            // folder names that entry.
            const QString canonical = QFileInfo(dir).canonicalFilePath();
            int found = -1;
            for (int i = 0; i < widget->count() && found < 0; ++i) {
                const QString text = widget->itemText(i);
                if (text.compare(dir, Qt::CaseInsensitive) == 0 ||
                    (!canonical.isEmpty() && text.compare(canonical, Qt::CaseInsensitive) == 0))
                    found = i;
            }
            if (found >= 0) {
                widget->setCurrentIndex(found);
            } else if (!canonical.isEmpty()) {
                const std::wstring c = ToWide(canonical);
                owner->AddSearchFolderItem(c, BrowsedFolder, 1, c, c);
                widget->setCurrentIndex(
                    widget->findData(QVariant(canonical), Qt::DisplayRole, Qt::MatchExactly | Qt::MatchCaseSensitive));
            } else {
                // A folder that is not there (any more): nothing to list.
                widget->setCurrentIndex(previousIndex);
            }
        }
        if (!alive || !widget_.Owner())
            return;
    }
    widget->setFocus(Qt::OtherFocusReason);
    owner = widget_.Owner();
    if (!owner)
        return;
    const EmissionHold emission(owner->GetBaseImpl());
    owner->OnActivated.Emit(widget->currentIndex());
}

ComboBoxFS::ComboBoxFS() : impl_(std::make_shared<impl>(*this)) { SetControlType(ControlTypeComboBoxFS); }

ComboBoxFS::~ComboBoxFS() { impl_->ForgetOwner(); }

bool ComboBoxFS::Create(QWidget* parent)
{
    BaseGUIObject::SetParentWindow(parent);
    return impl_->SetParent(parent);
}

Size ComboBoxFS::IdealSize() { return impl_->IdealSize(); }

std::shared_ptr<BaseImpl> ComboBoxFS::GetBaseImpl() const { return impl_; }

SkinManager* ComboBoxFS::GetSkinManager() { return GetGlobalSkinManager(); }

void ComboBoxFS::InitComboBoxFS()
{
    const std::shared_ptr<impl> hold = impl_;
    ComboBoxFSQt* widget = hold->GetWidget();
    if (!widget)
        return;
    widget->clear();
    for (const QStandardPaths::StandardLocation location :
         {QStandardPaths::DocumentsLocation, QStandardPaths::DesktopLocation, QStandardPaths::DownloadLocation,
          QStandardPaths::PicturesLocation, QStandardPaths::MusicLocation, QStandardPaths::MoviesLocation}) {
        const std::wstring name = ToWide(QStandardPaths::displayName(location));
        const std::wstring path =
            ToWide(QFileInfo(QStandardPaths::writableLocation(location)).canonicalFilePath());
        AddSearchFolderItem(name, StandardFolder, 0, path, name);
    }
    const std::wstring browse = ToWide(ComboBoxFSQt::BrowseText());
    AddSearchFolderItem(browse, BrowseEntry, 0, browse, browse);
    // Handlers of the index changes above may have taken the widget.
    if ((widget = hold->GetWidget()) == nullptr)
        return;
    widget->setCurrentIndex(0);
    if (const KwLPMRUComboBoxItem_Qt record = widget->RecordAt(widget->currentIndex()))
        hold->currentPath = record->path;
    for (int i = 0; i < widget->count(); ++i) {
        const KwLPMRUComboBoxItem_Qt record = widget->RecordAt(i);
        if (record && !record->path.isEmpty() &&
            record->path.compare(hold->currentPath, Qt::CaseInsensitive) == 0) {
            widget->setCurrentIndex(i);
            break;
        }
    }
}

int ComboBoxFS::AddSearchFolderItem(const std::wstring& name, ItemType type, int tag, const std::wstring& path,
                                    const std::wstring& displayName)
{
    ComboBoxFSQt* widget = impl_->GetWidget();
    if (!widget)
        return -1;
    QIcon icon;
    FolderIcon(ToQString(path), icon);
    const KwLPMRUComboBoxItem_Qt record = widget->NewRecord(type, tag, ToQString(path), ToQString(displayName));
    const QString text = ToQString(name);
    widget->insertItem(widget->count(), text == ComboBoxFSQt::BrowseText() ? QIcon() : icon, text,
                       QVariant::fromValue(record));
    AutoUpdateComboboxViewWidth();
    return widget->count() - 1;
}

int ComboBoxFS::AddSearchFolderItem(const std::wstring& name, FSData& data)
{
    ComboBoxFSQt* widget = impl_->GetWidget();
    return widget ? InsertSearchFolderItem(widget->count(), name, data) == -1 ? -1 : widget->count() - 1 : -1;
}

int ComboBoxFS::InsertSearchFolderItem(int index, const std::wstring& name, FSData& data)
{
    ComboBoxFSQt* widget = impl_->GetWidget();
    if (!widget)
        return -1;
    QIcon icon;
    if (!FolderIcon(ToQString(data.path), icon))
        return -1;
    const KwLPMRUComboBoxItem_Qt record =
        widget->NewRecord(data.type, data.tag, ToQString(data.path), ToQString(data.displayName));
    widget->insertItem(index, icon, ToQString(name), QVariant::fromValue(record));
    AutoUpdateComboboxViewWidth();
    return index;
}

int ComboBoxFS::Count()
{
    ComboBoxFSQt* widget = impl_->GetWidget();
    return widget ? widget->count() : -1;
}

bool ComboBoxFS::GetCurSearchFolderItem(FSData& out)
{
    ComboBoxFSQt* widget = impl_->GetWidget();
    return widget && widget->ReadRecord(widget->currentIndex(), out);
}

bool ComboBoxFS::GetSearchFolderItem(FSData& out, int index)
{
    ComboBoxFSQt* widget = impl_->GetWidget();
    return widget && widget->ReadRecord(index, out);
}

void ComboBoxFS::SetCurSel(int index)
{
    if (ComboBoxFSQt* widget = impl_->GetWidget())
        widget->setCurrentIndex(index);
}

void ComboBoxFS::AutoUpdateComboboxViewWidth()
{
    ComboBoxFSQt* widget = impl_->GetWidget();
    if (!widget)
        return;
    QAbstractItemView* view = widget->view();
    const QFontMetrics metrics(view->font());
    int width = widget->sizeHint().width();
    for (int i = 0; i < widget->count(); ++i)
        width = std::max(width, metrics.horizontalAdvance(widget->itemText(i) + QLatin1Char(' ')) + 20);
    view->setMinimumWidth(width);
}

void ComboBoxFS::UpdateCustomColors() {}

} // namespace AUILib
