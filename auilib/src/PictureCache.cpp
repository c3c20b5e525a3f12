#include "PictureCache.h"

#include "AUILibUtils.h"

#include <QPixmap>

namespace AUILib {

PictureCache::PictureCache()
{
    Clear();
}

std::uint64_t PictureCache::SampledHash(const unsigned char* data, int length)
{
    std::uint64_t hash = 0;
    for (int i = 0; i < length; i += 5)
        hash = hash * 31 + data[i];
    return hash;
}

std::uint64_t PictureCache::ContentHash(const unsigned char* data, int length)
{
    std::uint64_t hash = 14695981039346656037ull;   // FNV-1a
    for (int i = 0; i < length; ++i) {
        hash ^= data[i];
        hash *= 1099511628211ull;
    }
    return hash;
}

int PictureCache::AddPicture(const unsigned char* data, int length, ImageTypes type, const std::wstring& path)
{
    if (!data || length <= 0)
        return -1;
    const std::uint64_t key = SampledHash(data, length);
    const std::uint64_t full = ContentHash(data, length);
    auto found = byContent_.find(key);
    if (found != byContent_.end()) {
        for (const Stored& stored : found->second) {
            if (stored.length == length && stored.contentHash == full)
                return stored.index;
        }
    }
    QPixmap pixmap;
    const std::string format = AUILibUtils::ImageTypeToStr(type);
    if (!pixmap.loadFromData(data, static_cast<uint>(length), format.c_str()))
        return -1;
    icons_.emplace_back(pixmap);
    paths_.push_back(path);
    const int index = static_cast<int>(icons_.size()) - 1;
    byContent_[key].push_back(Stored{length, full, index, path});
    return index;
}

void PictureCache::Clear()
{
    byContent_.clear();
    itemPictures_.clear();
    icons_.assign(1, QIcon());
    paths_.assign(1, std::wstring());
}

QIcon PictureCache::Icon(int index) const
{
    if (index < 0 || index >= static_cast<int>(icons_.size()))
        return QIcon();
    return icons_[static_cast<size_t>(index)];
}

std::wstring PictureCache::PathOf(int index) const
{
    if (index < 0 || index >= static_cast<int>(paths_.size()))
        return std::wstring();
    return paths_[static_cast<size_t>(index)];
}

int PictureCache::ItemPicture(QStandardItem* item) const
{
    auto found = itemPictures_.find(item);
    return found == itemPictures_.end() ? -1 : found->second;
}

} // namespace AUILib
