// The pictures of one tree control, shared by both of its modes. Each
// distinct picture is decoded and stored once; items refer to it by index.
// Index 0 is a null icon so that real pictures start at 1; -1 means none.
#pragma once

#include "AUILibEnums.h"

#include <QIcon>

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

class QStandardItem;

namespace AUILib {

class PictureCache {
public:
    PictureCache();

    // Index of the picture with these bytes, stored first when new; -1 for
    // no data, a length of 0 or less, or bytes Qt cannot decode.
    int AddPicture(const unsigned char* data, int length, ImageTypes type, const std::wstring& path);
    void Clear();

    const std::vector<QIcon>& Icons() const { return icons_; }
    // The icon at index, or a null icon outside the list.
    QIcon Icon(int index) const;
    // The path recorded with the picture at index (empty for bytes).
    std::wstring PathOf(int index) const;

    // Standard mode: picture index of each item.
    void SetItemPicture(QStandardItem* item, int index) { itemPictures_[item] = index; }
    int ItemPicture(QStandardItem* item) const;
    void ForgetItem(QStandardItem* item) { itemPictures_.erase(item); }
    void ForgetAllItems() { itemPictures_.clear(); }

    // Every fifth byte; cheap for large pictures, and only a first filter.
    static std::uint64_t SampledHash(const unsigned char* data, int length);
    static std::uint64_t ContentHash(const unsigned char* data, int length);

private:
    struct Stored {
        int length;
        std::uint64_t contentHash;
        int index;
        std::wstring path;
    };
    // Pictures that agree on the sampled bytes can still differ in the
    // others, so one key may hold several.
    std::unordered_map<std::uint64_t, std::vector<Stored>> byContent_;
    std::vector<QIcon> icons_;
    std::vector<std::wstring> paths_;
    std::unordered_map<QStandardItem*, int> itemPictures_;
};

} // namespace AUILib
