// The tree control's item pictures in both modes, kept once each in the
// control's picture cache.
#include "TreeViewImplQt.h"

#include "AUILibUtils.h"
#include "WideQt.h"

#include <QFile>

#include <algorithm>

namespace AUILib {

namespace {

// The whole file, or nothing when it cannot be read.
QByteArray ReadPictureFile(const std::wstring& path)
{
    QFile file(ToQString(path));
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

ImageTypes TypeFromPath(const std::wstring& path)
{
    const size_t dot = path.rfind(L'.');
    const QString extension = ToQString(dot == std::wstring::npos ? path : path.substr(dot + 1)).toUpper();
    return AUILibUtils::WstrToImageType(ToWide(extension));
}

// What the bytes forms refuse before trying to decode.
bool AcceptableBytes(const unsigned char* data, int length, ImageTypes type)
{
    if (!data || length <= 0 || type == ImageUnknown)
        return false;
    return type == ImageICO || data[0] != 0;
}

const unsigned char* Bytes(const QByteArray& bytes)
{
    return reinterpret_cast<const unsigned char*>(bytes.constData());
}

} // namespace

int TreeView::impl::StorePicture(const unsigned char* data, int length, ImageTypes type, int size,
                                 const std::wstring& path)
{
    TreeViewQt* view = view_.Get();
    if (!view)
        return -1;
    const int index = Pictures().AddPicture(data, length, type, path);
    if (index < 0)
        return -1;
    view->setIconSize(QSize(size, size));
    return index;
}

bool TreeView::impl::ShowPicture(QStandardItem* item, int index)
{
    if (!pictures_ || index < 0 || !IndexOf(item).isValid())
        return false;
    pictures_->SetItemPicture(item, index);
    item->setData(pictures_->Icon(index), Qt::DecorationRole);
    if (TreeViewQt* view = view_.Get(); view && view->wordWrap())
        UpdateItemSizeHint(item, false);
    return true;
}

void TreeView::impl::ForgetAppearance(QStandardItem* item)
{
    if (!item) {
        if (pictures_)
            pictures_->ForgetAllItems();
        fontItems.clear();
        colourItems.clear();
        return;
    }
    if (pictures_)
        pictures_->ForgetItem(item);
    fontItems.erase(std::remove(fontItems.begin(), fontItems.end(), item), fontItems.end());
    colourItems.erase(std::remove(colourItems.begin(), colourItems.end(), item), colourItems.end());
}

// ---- standard mode ----

int TreeView::AddPicture(QStandardItem* item, const std::wstring& path, int size, BitmapType)
{
    const std::shared_ptr<impl> d = impl_;
    if (!d->Usable() || impl::IsSpecialHandle(item))
        return -1;
    const QByteArray bytes = ReadPictureFile(path);
    if (bytes.isEmpty())
        return -1;
    const int index = d->StorePicture(Bytes(bytes), bytes.size(), TypeFromPath(path), size, path);
    if (index < 0 || !item)
        return index;
    d->ShowPicture(item, index);
    return index;
}

int TreeView::AddPicture(QStandardItem* item, const unsigned char* data, int length, ImageTypes type, int size,
                         BitmapType)
{
    const std::shared_ptr<impl> d = impl_;
    if (!d->Usable() || impl::IsSpecialHandle(item) || !AcceptableBytes(data, length, type))
        return -1;
    const int index = d->StorePicture(data, length, type, size, std::wstring());
    if (index < 0 || !item)
        return index;
    d->ShowPicture(item, index);
    return index;
}

bool TreeView::SetPicture(QStandardItem* item, int index)
{
    const std::shared_ptr<impl> d = impl_;
    return d->Usable() && d->ShowPicture(item, index);
}

std::wstring TreeView::GetItemPicturePath(QStandardItem* item)
{
    const std::shared_ptr<impl> d = impl_;
    PictureCache* pictures = d->PicturesIfAny();
    if (!d->Usable() || !pictures || !d->IndexOf(item).isValid())
        return std::wstring();
    return pictures->PathOf(pictures->ItemPicture(item));
}

// ---- virtual mode ----

int TreeView::AddPicture(VirtTreeItem* item, const std::wstring& path, int size, BitmapType)
{
    const std::shared_ptr<impl> d = impl_;
    if (!d->VirtualUsable() || !item)
        return -1;
    const QByteArray bytes = ReadPictureFile(path);
    if (bytes.isEmpty())
        return -1;
    const int index = d->StorePicture(Bytes(bytes), bytes.size(), TypeFromPath(path), size, path);
    if (index >= 0)
        item->SetIcon(index);
    return index;
}

int TreeView::AddPicture(VirtTreeItem* item, const unsigned char* data, int length, ImageTypes type, int size,
                         BitmapType)
{
    const std::shared_ptr<impl> d = impl_;
    if (!d->VirtualUsable() || !item || !AcceptableBytes(data, length, type))
        return -1;
    const int index = d->StorePicture(data, length, type, size, std::wstring());
    if (index >= 0)
        item->SetIcon(index);
    return index;
}

bool TreeView::SetPicture(VirtTreeItem* item, int index)
{
    const std::shared_ptr<impl> d = impl_;
    if (!d->VirtualUsable() || !item || index < 0 || !d->PicturesIfAny())
        return false;
    item->SetIcon(index);
    return true;
}

std::wstring TreeView::GetItemPicturePath(VirtTreeItem* item)
{
    const std::shared_ptr<impl> d = impl_;
    if (!d->VirtualUsable() || !item || !d->PicturesIfAny())
        return std::wstring();
    return d->PicturesIfAny()->PathOf(item->GetIcon());
}

} // namespace AUILib
