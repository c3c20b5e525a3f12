#include "ListBox.h"

#include "AUILibConfig.h"
#include "AUILibUtils.h"
#include "ChangeFlagGuard.h"
#include "EmissionHold.h"
#include "ListBoxImplQt.h"
#include "SortPause.h"
#include "WideQt.h"

#include <QFile>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QSignalBlocker>
#include <QStyle>

#include <algorithm>
#include <iterator>
#include <vector>

namespace AUILib {

namespace {

using ImplHold = std::shared_ptr<ListBoxImpl>;

// Keeps the implementation alive across an operation whose notifications
// may drop the control; the last reference then goes the way EmissionHold
// lets it (after the widget's code on the stack has returned). Every
// operation but an add at the end finds the rows added so far in the table.
struct OperationHold {
    explicit OperationHold(const ImplHold& held, bool flush = true) : keep(held), impl(held)
    {
        if (flush)
            impl->FlushPending();
    }
    const EmissionHold keep;  // declared first: goes last
    const ImplHold impl;
};

void ApplyCheckRules(ListBoxImpl& impl, QTableWidgetItem* cell)
{
    if (impl.checkMode == ListBox::CheckProgram || impl.checkMode == ListBox::CheckSelection)
        cell->setFlags(cell->flags() & ~Qt::ItemIsUserCheckable);
    if (impl.checkMode != ListBox::CheckNone)
        cell->setData(Qt::CheckStateRole, Qt::Unchecked);
}

// Adds a row at the end: it may wait for the table (see PendingRows). The
// item data goes on every cell given, the check rules on the first; the
// cells are reported as the table reports cells set in it.
int AppendRow(ListBoxImpl& impl, CustomQTableWidgetItem* const* cells, int count, bool allColumns, const any& data)
{
    const int placed = impl.PlaceAppended(cells, count, allColumns);
    if (data.has_value()) {
        const int id = impl.AddData(data, 0);
        for (int column = 0; column < count; ++column)
            cells[column]->setData(Qt::UserRole, id);
    }
    ApplyCheckRules(impl, cells[0]);
    return impl.ReportAppended(cells, count, placed);
}

int CellId(const QTableWidgetItem* cell)
{
    const QVariant id = cell ? cell->data(Qt::UserRole) : QVariant();
    return id.isValid() ? id.toInt() : -1;
}

QPixmap PixmapFromData(const unsigned char* data, int length, ImageTypes format)
{
    QPixmap pixmap;
    pixmap.loadFromData(data, static_cast<uint>(length), AUILibUtils::ImageTypeToStr(format).c_str());
    return pixmap;
}

} // namespace

ListBox::ListBox() : impl_(std::make_shared<ListBoxImpl>(*this)) { SetControlType(ControlTypeListBox); }

ListBox::~ListBox()
{
    // The table may live on in its window: it shows every row added.
    impl_->FlushPending();
    // The implementation may outlive the control (a caller holding
    // GetBaseImpl), the table both of them.
    impl_->ForgetOwner();
}

bool ListBox::Create(QWidget* parent)
{
    BaseGUIObject::SetParentWindow(parent);
    return impl_->SetParent(parent);
}

Size ListBox::IdealSize() { return impl_->IdealSize(); }

std::shared_ptr<BaseImpl> ListBox::GetBaseImpl() const { return impl_; }

SkinManager* ListBox::GetSkinManager() { return GetGlobalSkinManager(); }

// Colours and header pictures

void ListBox::SetBackgroundColor(int colour)
{
    ListBoxQt* table = impl_->GetWidget();
    if (!table)
        return;
    impl_->backgroundColour = colour;
    QPalette palette = table->palette();
    palette.setBrush(QPalette::All, QPalette::Base, QBrush(QColor(QRgb(colour) | 0xFF000000u)));
    table->setPalette(palette);
}

int ListBox::GetBackgroundColor() { return impl_->backgroundColour; }

void ListBox::SetTextColor(int colour)
{
    ListBoxQt* table = impl_->GetWidget();
    if (!table)
        return;
    impl_->textColour = colour;
    table->setAutoFillBackground(true);
    QPalette palette = table->palette();
    palette.setBrush(QPalette::All, QPalette::Text, QBrush(QColor(QRgb(colour) | 0xFF000000u)));
    table->setPalette(palette);
}

int ListBox::GetTextColor() { return impl_->textColour; }

void ListBox::AddPictureToHeader(int column, const std::wstring& path, int size, BitmapType)
{
    ListBoxQt* table = impl_->GetWidget();
    QTableWidgetItem* header = table && column >= 0 ? table->horizontalHeaderItem(column) : nullptr;
    if (!header || !impl_->headerStyle)
        return;
    header->setIcon(QIcon(ToQString(path)));
    impl_->headerStyle->pictureSize[column] = QSize(size, size);
}

void ListBox::AddPictureToHeader(int column, const unsigned char* data, int length, ImageTypes format, int size,
                                 BitmapType)
{
    ListBoxQt* table = impl_->GetWidget();
    QTableWidgetItem* header = table && column >= 0 ? table->horizontalHeaderItem(column) : nullptr;
    if (!header)
        return;
    if (data && length > 0) {
        QIcon icon;
        icon.addPixmap(PixmapFromData(data, length, format), QIcon::Normal, QIcon::Off);
        header->setIcon(icon);
        if (impl_->headerStyle)
            impl_->headerStyle->pictureSize[column] = QSize(size, size);
    } else if (!data) {
        header->setIcon(QIcon());
    }
    table->horizontalHeader()->viewport()->update();
}

// Rows

int ListBox::AddItem(const std::wstring& text, any data) { return InsertItem(Count(), text, std::move(data)); }

int ListBox::AddItemEx(std::list<std::wstring>& texts, any data) { return InsertItemEx(Count(), texts, std::move(data)); }

int ListBox::AddRow(std::list<std::wstring>& texts, std::list<any> datas)
{
    return InsertRow(Count(), texts, std::move(datas));
}

int ListBox::InsertItem(int row, const std::wstring& text, any data)
{
    // Rows added at the end may wait for the table; anywhere else they go
    // in after the waiting ones.
    const OperationHold operation(impl_, false);
    const ImplHold& hold = operation.impl;
    ListBoxQt* table = hold->Table();
    if (!table)
        return -1;
    hold->ApplyFirstFillHeaderWidth();
    const int count = hold->RowCount();
    if (row == -1)
        row = count;
    if (row < 0 || row > count)
        return -1;
    const ChangeFlagGuard guard(*hold);
    CustomQTableWidgetItem* cell = hold->MakeCell(ToQString(text));
    if (row == count)
        return AppendRow(*hold, &cell, 1, false, data);
    if (!(table = hold->GetWidget())) {
        delete cell;
        return -1;
    }
    row = hold->SortedInsertionRow(*cell, 0, std::max(row, hold->pinnedCount));
    {
        const SortPause pause(table);
        table->insertRow(row);
        if (data.has_value())
            cell->setData(Qt::UserRole, hold->AddData(data, 0));
        ApplyCheckRules(*hold, cell);
        table->setItem(row, 0, cell);
    }
    hold->RefitColumn(0);
    return cell->row();
}

int ListBox::InsertItemEx(int row, std::list<std::wstring>& texts, any data)
{
    const OperationHold operation(impl_, false);
    const ImplHold& hold = operation.impl;
    ListBoxQt* table = hold->Table();
    if (!table)
        return -1;
    const int count = hold->RowCount();
    if (row == -1)
        row = count;
    if (row < 0 || row > count)
        return -1;
    const ChangeFlagGuard guard(*hold);
    std::vector<CustomQTableWidgetItem*> cells;
    auto text = texts.begin();
    for (int column = 0; column < hold->columnCount; ++column) {
        cells.push_back(hold->MakeCell(text != texts.end() ? ToQString(*text) : QString()));
        if (text != texts.end())
            ++text;
    }
    if (row == count)
        return AppendRow(*hold, cells.data(), static_cast<int>(cells.size()), true, data);
    if (!(table = hold->GetWidget())) {
        for (CustomQTableWidgetItem* cell : cells)
            delete cell;
        return -1;
    }
    const int sortColumn = table->isSortingEnabled() ? table->horizontalHeader()->sortIndicatorSection() : -1;
    if (sortColumn >= 0 && sortColumn < hold->columnCount)
        row = hold->SortedInsertionRow(*cells[static_cast<size_t>(sortColumn)], sortColumn,
                                       std::max(row, hold->pinnedCount));
    else
        row = hold->SortedInsertionRow(*cells[0], -1, std::max(row, hold->pinnedCount));
    {
        const SortPause pause(table);
        table->insertRow(row);
        const int id = data.has_value() ? hold->AddData(data, 0) : -1;
        for (int column = 0; column < hold->columnCount; ++column) {
            CustomQTableWidgetItem* cell = cells[static_cast<size_t>(column)];
            if (id != -1)
                cell->setData(Qt::UserRole, id);
            if (column == 0)
                ApplyCheckRules(*hold, cell);
            table->setItem(row, column, cell);
        }
    }
    hold->RefitAllColumns();
    return cells[0]->row();
}

int ListBox::InsertRow(int row, std::list<std::wstring>& texts, std::list<any> datas)
{
    if (texts.empty())
        return -1;
    const OperationHold operation(impl_, false);
    const int inserted = InsertItemEx(row, texts, any());
    if (inserted < 0)
        return inserted;
    int column = 0;
    for (any& data : datas)
        SetItemDataEx(inserted, column++, data);
    return inserted;
}

void ListBox::Clear()
{
    const OperationHold operation(impl_);
    const ImplHold& hold = operation.impl;
    const ChangeFlagGuard guard(*hold);
    hold->Clear();
}

int ListBox::Count() { return impl_->RowCount(); }

std::wstring ListBox::GetItem(int row, int column)
{
    ListBoxQt* table = impl_->GetWidget();
    QTableWidgetItem* cell = table ? table->item(row, column) : nullptr;
    return cell ? ToWide(cell->text()) : std::wstring();
}

std::list<std::wstring> ListBox::GetItemEx(int row)
{
    std::list<std::wstring> texts;
    ListBoxQt* table = impl_->GetWidget();
    if (!table)
        return texts;
    for (int column = 0; column < impl_->columnCount; ++column) {
        if (QTableWidgetItem* cell = table->item(row, column))
            texts.push_back(ToWide(cell->text()));
    }
    return texts;
}

int ListBox::GetItemIndex(const std::wstring& text)
{
    ListBoxQt* table = impl_->GetWidget();
    if (!table)
        return -1;
    const QList<QTableWidgetItem*> found = table->findItems(ToQString(text), Qt::MatchFixedString);
    return found.isEmpty() ? -1 : found.first()->row();
}

int ListBox::FindString(const std::wstring& text, int start)
{
    ListBoxQt* table = impl_->GetWidget();
    if (!table)
        return -1;
    // From an index that is not there Qt finds nothing: past the last row
    // (or before the first) the search starts at the top.
    int from = start + 1;
    if (from < 0 || from >= table->rowCount())
        from = 0;
    const QModelIndexList found = table->model()->match(table->model()->index(from, 0), Qt::DisplayRole,
                                                        ToQString(text), 1, Qt::MatchStartsWith | Qt::MatchWrap);
    return found.isEmpty() ? -1 : found.first().row();
}

bool ListBox::EnsureVisible(int row)
{
    ListBoxQt* table = impl_->GetWidget();
    QTableWidgetItem* cell = table ? table->item(row, 0) : nullptr;
    if (!cell)
        return false;
    table->scrollToItem(cell, QAbstractItemView::EnsureVisible);
    return true;
}

bool ListBox::DeleteItem(int row)
{
    const OperationHold operation(impl_);
    const ImplHold& hold = operation.impl;
    ListBoxQt* table = hold->GetWidget();
    if (!table)
        return false;
    const SortPause pause(table);
    auto* cell = dynamic_cast<CustomQTableWidgetItem*>(table->item(row, 0));
    if (!table->item(row, 0))
        return false;
    const ChangeFlagGuard guard(*hold);
    if (cell && cell->IsPinned())
        --hold->pinnedCount;
    if (!hold->singleSelection && hold->SelectedRows().empty()) {
        QModelIndex next = table->model()->index(row + 1, 0);
        if (!next.isValid())
            next = table->model()->index(row - 1, 0);
        table->setCurrentIndex(next);
    }
    table->removeRow(row);
    return true;
}

bool ListBox::DeleteItems(int row, int count)
{
    const OperationHold operation(impl_);
    const ImplHold& hold = operation.impl;
    ListBoxQt* table = hold->GetWidget();
    if (!table || !table->item(row, 0))
        return false;
    // The whole range must exist: a bad range would miscount the pinned rows.
    if (count < 1 || count > table->rowCount() - row)
        return false;
    const SortPause pause(table);
    const ChangeFlagGuard guard(*hold);
    for (int r = row; r < row + count; ++r) {
        auto* cell = dynamic_cast<CustomQTableWidgetItem*>(table->item(r, 0));
        if (cell && cell->IsPinned())
            --hold->pinnedCount;
    }
    table->model()->removeRows(row, count);
    return true;
}

bool ListBox::DeleteSelItems()
{
    const OperationHold operation(impl_);
    const ImplHold& hold = operation.impl;
    if (!hold->GetWidget())
        return false;
    const std::list<int> rows = hold->SelectedRows();
    std::vector<std::pair<int, int>> runs;
    for (int row : rows) {
        if (!runs.empty() && runs.back().second + 1 == row)
            runs.back().second = row;
        else
            runs.emplace_back(row, row);
    }
    for (auto run = runs.rbegin(); run != runs.rend(); ++run)
        DeleteItems(run->first, run->second - run->first + 1);
    return true;
}

bool ListBox::SetItemText(int row, const std::wstring& text) { return SetItemText(row, 0, text); }

bool ListBox::SetItemText(int row, int column, const std::wstring& text)
{
    const OperationHold operation(impl_);
    const ImplHold& hold = operation.impl;
    ListBoxQt* table = hold->GetWidget();
    QTableWidgetItem* cell = table ? table->item(row, column) : nullptr;
    if (!cell)
        return false;
    const ChangeFlagGuard guard(*hold);
    cell->setText(ToQString(text));
    hold->RefitColumn(column);
    if ((table = hold->GetWidget()))
        table->viewport()->update();
    return true;
}

bool ListBox::SetItemTextEx(int row, std::list<std::wstring>& texts)
{
    const OperationHold operation(impl_);
    const ImplHold& hold = operation.impl;
    ListBoxQt* table = hold->GetWidget();
    if (!table || row < 0 || row >= table->rowCount())
        return false;
    const ChangeFlagGuard guard(*hold);
    int column = 0;
    for (const std::wstring& text : texts) {
        if (column >= hold->columnCount || !(table = hold->GetWidget()))
            break;
        QTableWidgetItem* cell = table->item(row, column);
        if (!cell) {
            // A list-box cell, so sorting and item data treat it as the others.
            cell = hold->MakeCell(QString());
            table->setItem(row, column, cell);
        }
        cell->setText(ToQString(text));
        hold->RefitColumn(column);
        ++column;
    }
    if ((table = hold->GetWidget()))
        table->viewport()->update();
    return true;
}

// Item data

any ListBox::GetItemData(int row)
{
    ListBoxQt* table = impl_->GetWidget();
    QTableWidgetItem* cell = table ? table->item(row, 0) : nullptr;
    return cell ? impl_->GetData(CellId(cell), 0) : any();
}

any ListBox::GetItemDataEx(int row, int column)
{
    ListBoxQt* table = impl_->GetWidget();
    if (!table || row < 0 || row >= table->rowCount())
        return any();
    QTableWidgetItem* cell = table->item(row, 0);
    return cell ? impl_->GetData(CellId(cell), column) : any();
}

bool ListBox::SetItemData(int row, any data)
{
    const OperationHold operation(impl_);
    const ImplHold& hold = operation.impl;
    ListBoxQt* table = hold->GetWidget();
    if (!table || row < 0 || row >= table->rowCount())
        return false;
    QTableWidgetItem* cell = table->item(row, 0);
    if (!cell)
        return false;
    const ChangeFlagGuard guard(*hold);
    RemoveItemData(row);
    if ((table = hold->GetWidget()) && (cell = table->item(row, 0)))
        cell->setData(Qt::UserRole, hold->AddData(data, 0));
    return true;
}

bool ListBox::SetItemDataEx(int row, int column, any data)
{
    const OperationHold operation(impl_);
    const ImplHold& hold = operation.impl;
    ListBoxQt* table = hold->GetWidget();
    if (!table || row < 0 || row >= table->rowCount() || column < 0 || column >= hold->columnCount)
        return false;
    QTableWidgetItem* first = table->item(row, 0);
    QTableWidgetItem* target = table->item(row, column);
    if (!first || !target)
        return false;
    const ChangeFlagGuard guard(*hold);
    int id = CellId(first);
    if (id == -1) {
        id = hold->AddData(column == 0 ? data : any(), 0);
        first->setData(Qt::UserRole, id);
    }
    id = hold->SetData(id, column, data);
    if ((table = hold->GetWidget()) && (target = table->item(row, column))) {
        target->setData(Qt::UserRole, id);
        if (QTableWidgetItem* cell = table->item(row, 0))
            cell->setData(Qt::UserRole, id);
    }
    return true;
}

bool ListBox::RemoveItemData(int row)
{
    const OperationHold operation(impl_);
    const ImplHold& hold = operation.impl;
    ListBoxQt* table = hold->GetWidget();
    QTableWidgetItem* first = table ? table->item(row, 0) : nullptr;
    if (!first)
        return false;
    const ChangeFlagGuard guard(*hold);
    const int id = CellId(first);
    for (int column = 0; column < table->columnCount(); ++column) {
        if (!(table = hold->GetWidget()))
            break;
        if (QTableWidgetItem* cell = table->item(row, column))
            cell->setData(Qt::UserRole, -1);
    }
    return id != -1 && hold->EraseData(id);
}

// Pictures

void ListBox::AddPictureEx(int row, int column, const std::wstring& path, int size, BitmapType)
{
    const OperationHold operation(impl_);
    const ImplHold& hold = operation.impl;
    ListBoxQt* table = hold->GetWidget();
    if (!table)
        return;
    table->setIconSize(QSize(size, size));
    if (QTableWidgetItem* cell = table->item(row, column)) {
        const ChangeFlagGuard guard(*hold);
        cell->setIcon(QIcon(ToQString(path)));
        hold->RefitColumn(column);
        if ((table = hold->GetWidget()))
            table->viewport()->update();
    }
}

void ListBox::AddPictureEx(int row, int column, const unsigned char* data, int length, ImageTypes format, int size,
                           BitmapType)
{
    const OperationHold operation(impl_);
    const ImplHold& hold = operation.impl;
    ListBoxQt* table = hold->GetWidget();
    QTableWidgetItem* cell = table ? table->item(row, column) : nullptr;
    if (!cell)
        return;
    if (data && length <= 0)
        return;
    const ChangeFlagGuard guard(*hold);
    if (data) {
        QIcon icon;
        icon.addPixmap(PixmapFromData(data, length, format), QIcon::Normal, QIcon::Off);
        table->setIconSize(QSize(size, size));
        cell->setIcon(icon);
    } else {
        cell->setIcon(QIcon());
    }
    hold->RefitColumn(column);
    if ((table = hold->GetWidget()))
        table->viewport()->update();
}

void ListBox::AddPicture(int row, const std::wstring& path, int size, BitmapType type)
{
    AddPictureEx(row, 0, path, size, type);
}

void ListBox::AddPicture(int row, const unsigned char* data, int length, ImageTypes format, int size, BitmapType type)
{
    AddPictureEx(row, 0, data, length, format, size, type);
}

void ListBox::AddPictureSysIcon(int row, const std::wstring& path) { AddPictureSysIconEx(row, 0, path); }

void ListBox::AddPictureSysIconEx(int row, int column, const std::wstring& path)
{
    const OperationHold operation(impl_);
    const ImplHold& hold = operation.impl;
    ListBoxQt* table = hold->GetWidget();
    const QString file = ToQString(path);
    if (!table || !QFile::exists(file))
        return;
    if (QTableWidgetItem* cell = table->item(row, column)) {
        const ChangeFlagGuard guard(*hold);
        cell->setIcon(QFileIconProvider().icon(QFileInfo(file)));
        hold->RefitColumn(column);
    }
    if ((table = hold->GetWidget()))
        table->viewport()->update();
}

bool ListBox::AddRowButton(const std::wstring& path)
{
    const OperationHold operation(impl_);
    const ImplHold& hold = operation.impl;
    ListBoxQt* table = hold->GetWidget();
    if (!table)
        return false;
    // A picture that does not load keeps the current one (and its column).
    QImage image;
    const bool loaded = image.load(ToQString(path));
    if (loaded) {
        hold->RemoveButtonColumn();
        hold->rowButtonImage = image;
        hold->AddButtonColumn();
    }
    table->viewport()->update();
    return loaded;
}

bool ListBox::AddRowButton(const unsigned char* data, int length, ImageTypes format)
{
    const OperationHold operation(impl_);
    const ImplHold& hold = operation.impl;
    ListBoxQt* table = hold->GetWidget();
    if (!table)
        return false;
    bool done = true;
    if (data && length > 0) {
        const QImage image = PixmapFromData(data, length, format).toImage();
        done = !image.isNull();
        if (done) {
            hold->RemoveButtonColumn();
            hold->rowButtonImage = image;
            hold->AddButtonColumn();
        }
    } else if (!data) {
        hold->RemoveButtonColumn();
    } else {
        done = false;
    }
    table->viewport()->update();
    return done;
}

// Selection and checks

void ListBox::SetSel(int row, bool select)
{
    const OperationHold operation(impl_);
    const ImplHold& hold = operation.impl;
    ListBoxQt* table = hold->GetWidget();
    QTableWidgetItem* cell = table ? table->item(row, 0) : nullptr;
    if (!cell)
        return;
    const QModelIndex index = table->model()->index(row, 0);
    if (!index.isValid())
        return;
    QItemSelectionModel* selection = table->selectionModel();
    selection->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    if (select) {
        selection->select(index, (hold->singleSelection ? QItemSelectionModel::ClearAndSelect
                                                         : QItemSelectionModel::Select) |
                                     QItemSelectionModel::Rows);
    } else {
        selection->select(index, QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    }
    if (!(table = hold->GetWidget()))
        return;
    if (hold->checkMode == CheckSelection && !table->selectingOnFocus)
        hold->SetCheck(row, select, false);
    if (!(table = hold->GetWidget()) || !(cell = table->item(row, 0)))
        return;
    table->viewport()->update();
    table->scrollToItem(cell, QAbstractItemView::EnsureVisible);
}

void ListBox::ClearSel()
{
    const OperationHold operation(impl_);
    const ImplHold& hold = operation.impl;
    hold->ClearSelection();
}

std::list<std::wstring> ListBox::SelectedItems()
{
    std::list<std::wstring> texts;
    ListBoxQt* table = impl_->GetWidget();
    if (!table)
        return texts;
    for (int row : impl_->SelectedRows())
        texts.push_back(GetItem(row, 0));
    return texts;
}

std::list<int> ListBox::SelectedItemsIndexes()
{
    impl_->FlushPending();
    return impl_->SelectedRows();
}

void ListBox::SetCheckMode(CheckMode mode) { impl_->checkMode = mode; }

ListBox::CheckMode ListBox::GetCheckMode() { return impl_->checkMode; }

void ListBox::SetCheck(int row, bool checked)
{
    const OperationHold operation(impl_);
    const ImplHold& hold = operation.impl;
    hold->SetCheck(row, checked, true);
}

bool ListBox::GetCheck(int row)
{
    ListBoxQt* table = impl_->GetWidget();
    QTableWidgetItem* cell = table ? table->item(row, 0) : nullptr;
    if (!cell || impl_->checkMode == CheckNone)
        return false;
    return cell->checkState() != Qt::Unchecked;
}

std::list<int> ListBox::CheckedItemsIndexes()
{
    std::list<int> rows;
    ListBoxQt* table = impl_->GetWidget();
    if (!table || impl_->checkMode == CheckNone)
        return rows;
    for (int row = 0; row < table->rowCount(); ++row) {
        QTableWidgetItem* cell = table->item(row, 0);
        if (cell && cell->data(Qt::CheckStateRole).isValid() && cell->checkState() == Qt::Checked)
            rows.push_back(row);
    }
    return rows;
}

std::list<std::wstring> ListBox::CheckedItems()
{
    std::list<std::wstring> texts;
    for (int row : CheckedItemsIndexes())
        texts.push_back(GetItem(row, 0));
    return texts;
}

bool ListBox::IsSingleSelection() { return impl_->GetWidget() ? impl_->singleSelection : false; }

void ListBox::SetSingleSelection(bool single)
{
    impl_->singleSelection = single;
    if (ListBoxQt* table = impl_->GetWidget())
        table->setSelectionMode(single ? QAbstractItemView::SingleSelection : QAbstractItemView::ExtendedSelection);
}

void ListBox::SelectItemOnSetFocus(bool on)
{
    if (ListBoxQt* table = impl_->GetWidget()) {
        table->selectItemOnSetFocus = on;
        table->pressedOnSelection = false;
    }
}

void ListBox::SetAutomaticSearch(bool on)
{
    if (ListBoxQt* table = impl_->GetWidget())
        table->automaticSearch = on;
}

// Columns, headers and sorting

bool ListBox::IsSortingEnabled()
{
    ListBoxQt* table = impl_->GetWidget();
    return table ? table->isSortingEnabled() : false;
}

void ListBox::SortingEnable(bool on)
{
    const OperationHold operation(impl_);
    const ImplHold& hold = operation.impl;
    ListBoxQt* table = hold->GetWidget();
    if (!table)
        return;
    if (on && !table->isSortingEnabled()) {
        // No column indicated: enabling sorts nothing yet.
        const QSignalBlocker block(table->horizontalHeader());
        table->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    }
    table->setSortingEnabled(on);
}

void ListBox::SetColumnsCount(int count)
{
    const OperationHold operation(impl_);
    const ImplHold& hold = operation.impl;
    const ChangeFlagGuard guard(*hold);
    hold->SetColumnsCount(count);
}

int ListBox::GetColumnsCount() { return impl_->columnCount; }

void ListBox::SetColumnWidth(int column, int width)
{
    ListBoxQt* table = impl_->GetWidget();
    if (!table || column < 0 || column >= impl_->columnCount)
        return;
    impl_->columnWidths[static_cast<size_t>(column)] = width;
    table->setColumnWidth(column, width);
    impl_->headerSized = true;
    table->viewport()->update();
}

void ListBox::ResizeColumnToContent(int column, bool fit)
{
    ListBoxQt* table = impl_->GetWidget();
    if (!table || column < 0 || column >= impl_->columnCount)
        return;
    if (!fit) {
        impl_->columnWidths[static_cast<size_t>(column)] = -1;
        return;
    }
    impl_->columnWidths[static_cast<size_t>(column)] = -2;
    table->resizeColumnToContents(column);
    impl_->wordWrap = false;
    table->setWordWrap(false);
}

bool ListBox::IsSetResizeColumnToContent(int column)
{
    if (column < 0 || column >= impl_->columnCount)
        return false;
    return impl_->columnWidths[static_cast<size_t>(column)] == -2;
}

std::vector<int> ListBox::GetColumnsWidth() { return impl_->columnWidths; }

bool ListBox::SetColumnName(int column, const std::wstring& name)
{
    ListBoxQt* table = impl_->GetWidget();
    if (!table || column < 0 || column >= impl_->headerLabels.size())
        return false;
    impl_->ApplyFirstFillHeaderWidth();
    impl_->headerLabels[column] = ToQString(name);
    table->setHorizontalHeaderLabels(impl_->headerLabels);
    table->horizontalHeader()->setVisible(true);
    table->viewport()->update();
    return true;
}

void ListBox::EnableColumnNames(bool show)
{
    if (ListBoxQt* table = impl_->GetWidget())
        table->horizontalHeader()->setVisible(show);
}

void ListBox::SetHeaderTooltip(int column, const std::wstring& text)
{
    ListBoxQt* table = impl_->GetWidget();
    if (QTableWidgetItem* header = table && column >= 0 ? table->horizontalHeaderItem(column) : nullptr)
        header->setData(Qt::ToolTipRole, ToQString(text));
}

void ListBox::SetHeaderPictureAlign(int column, HeaderStyle style)
{
    if (style == HeaderPictureRight && impl_->headerStyle)
        impl_->headerStyle->pictureAlign[column] = style;
}

ListBox::HeaderStyle ListBox::GetHeaderPictureAlign(int column)
{
    if (!impl_->headerStyle)
        return HeaderPictureDefault;
    const auto found = impl_->headerStyle->pictureAlign.find(column);
    return found == impl_->headerStyle->pictureAlign.end() ? HeaderPictureDefault : found->second;
}

bool ListBox::SortColumn(int column, bool caseSensitive)
{
    const OperationHold operation(impl_);
    const ImplHold& hold = operation.impl;
    ListBoxQt* table = hold->GetWidget();
    if (!table)
        return false;
    const Qt::SortOrder was = table->horizontalHeader()->sortIndicatorOrder();
    hold->sortRules->caseSensitive = caseSensitive;
    if (!table->isSortingEnabled())
        SortingEnable(true);
    if ((table = hold->GetWidget()))
        table->sortByColumn(column, was == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder);
    return true;
}

bool ListBox::SortColumn(int column, SortMode mode, bool caseSensitive)
{
    const OperationHold operation(impl_);
    const ImplHold& hold = operation.impl;
    ListBoxQt* table = hold->GetWidget();
    if (!table)
        return false;
    hold->sortRules->caseSensitive = caseSensitive;
    if (!table->isSortingEnabled())
        SortingEnable(true);
    if ((table = hold->GetWidget()))
        table->sortByColumn(column, mode == SortDescending ? Qt::DescendingOrder : Qt::AscendingOrder);
    return true;
}

void ListBox::SetColumnSortFunc(int column, const SortFunction& func)
{
    // The rows added so far were placed by the rule before.
    impl_->FlushPending();
    if (func)
        impl_->sortRules->functions[column] = func;
}

void ListBox::DisableSortingForRow(int row)
{
    const OperationHold operation(impl_);
    const ImplHold& hold = operation.impl;
    ListBoxQt* table = hold->GetWidget();
    // Only an unpinned row that exists: anything else would pin a phantom
    // row or move a neighbour.
    if (!table || row < hold->pinnedCount || row >= table->rowCount())
        return;
    const ChangeFlagGuard guard(*hold);
    const SortPause pause(table);
    const int pinned = hold->pinnedCount;
    table->insertRow(pinned);
    for (int column = 0; column < hold->columnCount; ++column) {
        QTableWidgetItem* taken = table->takeItem(row + 1, column);
        auto* cell = dynamic_cast<CustomQTableWidgetItem*>(taken);
        if (!cell) {
            delete taken;
            cell = hold->MakeCell(QString());
        }
        cell->SetPinned(true);
        table->setItem(pinned, column, cell);
    }
    table->removeRow(row + 1);
    ++hold->pinnedCount;
}

// Pictures, colours, editing and view options

void ListBox::SetItemTextColor(int row, RGBColor colour)
{
    ListBoxQt* table = impl_->GetWidget();
    if (QTableWidgetItem* cell = table ? table->item(row, 0) : nullptr) {
        const OperationHold operation(impl_);
    const ImplHold& hold = operation.impl;
        const ChangeFlagGuard guard(*hold);
        cell->setData(Qt::ForegroundRole, QBrush(QColor(QRgb(colour) | 0xFF000000u)));
    }
}

void ListBox::ShowSelection(bool show)
{
    const OperationHold operation(impl_);
    const ImplHold& hold = operation.impl;
    if (hold->delegate) {
        hold->delegate->showSelection = show;
        hold->delegate->CloseEditors();
    }
    hold->ApplySelectionDisplay(show);
}

void ListBox::UnderlineItems(bool on)
{
    impl_->underlineItems = on;
    if (ListBoxQt* table = impl_->GetWidget())
        table->viewport()->update();
}

void ListBox::SetShowGridlines(bool on)
{
    if (ListBoxQt* table = impl_->GetWidget()) {
        table->setShowGrid(on);
        table->viewport()->update();
    }
}

void ListBox::SetEditItems(Editable mode)
{
    ListBoxQt* table = impl_->GetWidget();
    if (!table || mode == impl_->editItems)
        return;
    table->setEditTriggers(mode != EditableOff ? QAbstractItemView::DoubleClicked
                                               : QAbstractItemView::NoEditTriggers);
    impl_->editItems = mode;
}

ListBox::Editable ListBox::IsSetEditItems() { return impl_->editItems; }

void ListBox::SetItemEditMode(int row, int column, EditMode mode)
{
    ListBoxQt* table = impl_->GetWidget();
    if (!table || row < 0 || row >= table->rowCount() || column < 0 || column > table->columnCount())
        return;
    if (auto* cell = dynamic_cast<CustomQTableWidgetItem*>(table->item(row, column))) {
        const OperationHold operation(impl_);
    const ImplHold& hold = operation.impl;
        const ChangeFlagGuard guard(*hold);
        cell->SetEditMode(mode);
        cell->setFlags(mode != EditNone ? cell->flags() | Qt::ItemIsEditable : cell->flags() & ~Qt::ItemIsEditable);
    }
}

void ListBox::SetColumnEditMode(int column, EditMode mode)
{
    if (column >= 0 && column <= impl_->columnCount)
        impl_->columnEditModes[column] = mode;
}

void ListBox::EnableWordWrapText(bool on)
{
    ListBoxQt* table = impl_->GetWidget();
    if (!table)
        return;
    impl_->wordWrap = on;
    if (on)
        std::fill(impl_->columnWidths.begin(), impl_->columnWidths.end(), -1);
    table->setWordWrap(on);
}

bool ListBox::IsEnableWordWrapText() { return impl_->wordWrap; }

void ListBox::EnableItemsAutoTooltip(bool on) { impl_->itemsAutoTooltip = on; }

void ListBox::EnableRowsDragAndDrop(bool on)
{
    ListBoxQt* table = impl_->GetWidget();
    if (!table)
        return;
    table->setDragEnabled(on);
    table->setDropIndicatorShown(on);
    table->setDefaultDropAction(on ? Qt::MoveAction : Qt::IgnoreAction);
    table->setDragDropMode(on ? QAbstractItemView::InternalMove : QAbstractItemView::NoDragDrop);
    table->setDragDropOverwriteMode(false);
    impl_->rowsDragAndDrop = on;
    table->setAcceptDrops(on || impl_->IsAcceptDrops());
}

bool ListBox::IsEnableRowsDragAndDrop() { return impl_->rowsDragAndDrop; }

int ListBox::HitTest(Point point, unsigned int* flags, int* column)
{
    ListBoxQt* table = impl_->GetWidget();
    if (!table)
        return -1;
    QTableWidgetItem* hit = table->HitTest(point, flags, column, nullptr);
    return hit ? hit->row() : -1;
}

// The list box has no tree.

ListBoxTreeItem* ListBox::AddRootItem(std::list<std::wstring>&, std::list<any>) { return nullptr; }
ListBoxTreeItem* ListBox::InsertRootItem(int, std::list<std::wstring>&, std::list<any>) { return nullptr; }
ListBoxTreeItem* ListBox::AddSubitem(ListBoxTreeItem*, std::list<std::wstring>&, std::list<any>) { return nullptr; }
ListBoxTreeItem* ListBox::GetTreeItem(int) { return nullptr; }
ListBoxTreeItem* ListBox::GetParentItem(ListBoxTreeItem*) { return nullptr; }
std::list<ListBoxTreeItem*> ListBox::GetRootItems() { return {}; }
std::list<ListBoxTreeItem*> ListBox::GetChildItems(ListBoxTreeItem*) { return {}; }
std::list<std::wstring> ListBox::GetItemTexts(ListBoxTreeItem*) { return {}; }
std::list<any> ListBox::GetItemDatas(ListBoxTreeItem*) { return {}; }
std::list<int> ListBox::GetItemImageIndexes(ListBoxTreeItem*) { return {}; }
int ListBox::SetExpanded(ListBoxTreeItem*, bool) { return -1; }

} // namespace AUILib
