#include "tables/table.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <limits>
#include <unordered_set>

#include "common/error.h"
#include "common/messages.h"
#include "common/strings.h"
#include "tables/collation.h"

namespace trivo {

namespace {

constexpr int kInsertionOrder = -1;

std::int32_t CheckedRange(const FieldDef& def, long long value) {
  long long low = std::numeric_limits<std::int32_t>::min();
  long long high = std::numeric_limits<std::int32_t>::max();
  if (def.type == FieldType::Smallint) {
    low = -32768;
    high = 32767;
  }
  if (value < low || value > high) throw Error(msg::ValueOutOfRange(value, def.name, low, high));
  return static_cast<std::int32_t>(value);
}

std::int32_t RoundToInteger(const FieldDef& def, double value) {
  if (!std::isfinite(value) || std::fabs(value) > 1e18) {
    throw Error(msg::ValueOutOfRange(0, def.name,
                                     def.type == FieldType::Smallint ? -32768 : INT32_MIN,
                                     def.type == FieldType::Smallint ? 32767 : INT32_MAX));
  }
  return CheckedRange(def, static_cast<long long>(std::nearbyint(value)));
}

std::string StoredText(const FieldDef& def, std::string_view text) {
  const std::size_t size = def.size > 0 ? static_cast<std::size_t>(def.size) : 0;
  std::string stored(text.substr(0, std::min(size, text.size())));
  while (!stored.empty() && stored.back() == ' ') stored.pop_back();
  return stored;
}

std::string BooleanText(bool value) {
  return value ? "True" : "False";
}

bool TextAsBoolean(std::string_view text) {
  return !text.empty() && (text[0] == 'T' || text[0] == 't' || text[0] == 'Y' || text[0] == 'y');
}

// A value as the field stores it: texts cut and trimmed, numbers converted and range
// checked. Used for assignments and for the search values of FindByKey.
Value ConvertForField(const FieldDef& def, const Value& value) {
  if (value.IsNull()) return {};
  switch (def.type) {
    case FieldType::String:
      if (value.IsText()) return Value(StoredText(def, value.Text()));
      if (value.IsInteger()) return Value(StoredText(def, std::to_string(value.Integer())));
      if (value.IsFloat()) return Value(StoredText(def, FloatToStr(value.Float())));
      return Value(StoredText(def, BooleanText(value.Boolean())));
    case FieldType::AutoInc:
    case FieldType::Integer:
    case FieldType::Smallint:
      if (value.IsText()) {
        if (value.Text().empty()) return {};
        return Value(CheckedRange(def, StrToInt(value.Text())));
      }
      if (value.IsInteger()) return Value(CheckedRange(def, value.Integer()));
      if (value.IsFloat()) return Value(RoundToInteger(def, value.Float()));
      return Value(std::int32_t{value.Boolean() ? 1 : 0});
    case FieldType::Float:
      if (value.IsText()) {
        if (value.Text().empty()) return {};
        return Value(StrToFloat(value.Text()));
      }
      if (value.IsInteger()) return Value(static_cast<double>(value.Integer()));
      if (value.IsFloat()) return value;
      return Value(value.Boolean() ? 1.0 : 0.0);
    case FieldType::Boolean:
      if (value.IsText()) {
        if (value.Text().empty()) return {};
        if (SameText(value.Text(), "true")) return Value(true);
        if (SameText(value.Text(), "false")) return Value(false);
        throw Error("'" + value.Text() + "' ist kein gültiger Boolescher Wert");
      }
      if (value.IsInteger()) return Value(value.Integer() != 0);
      if (value.IsFloat()) return Value(value.Float() != 0);
      return value;
  }
  return {};
}

// One key value ready for comparison: the value and, for texts, its collation key.
struct KeyValue {
  const Value* value;
  const std::string* collationKey;
};

int CompareKeyValues(const KeyValue& a, const KeyValue& b) {
  const Value& x = *a.value;
  const Value& y = *b.value;
  if (x.IsNull() || y.IsNull()) return (x.IsNull() ? 0 : 1) - (y.IsNull() ? 0 : 1);
  if (x.IsText() && y.IsText()) {
    if (int c = a.collationKey->compare(*b.collationKey); c != 0) return c < 0 ? -1 : 1;
    const int c = x.Text().compare(y.Text());
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
  }
  auto number = [](const Value& v) -> double {
    if (v.IsInteger()) return v.Integer();
    if (v.IsFloat()) return v.Float();
    if (v.IsBoolean()) return v.Boolean() ? 1 : 0;
    return 0;
  };
  if (x.IsInteger() && y.IsInteger()) {
    return x.Integer() < y.Integer() ? -1 : (x.Integer() > y.Integer() ? 1 : 0);
  }
  const double p = number(x);
  const double q = number(y);
  if (std::isnan(p) || std::isnan(q)) return (std::isnan(p) ? 0 : 1) - (std::isnan(q) ? 0 : 1);
  return p < q ? -1 : (p > q ? 1 : 0);
}

}  // namespace

struct Table::Impl {
  struct Record {
    std::vector<Value> values;
    std::vector<std::string> collationKeys;  // one per collated field (collationSlot)
  };

  // Hashing and comparing the key of an index (all its fields) by record number, for the
  // check of a unique index: equal keys are those the index order holds equal.
  struct KeyHash {
    const Impl* d;
    std::size_t index;
    std::size_t operator()(int record) const;
  };
  struct KeyEqual {
    const Impl* d;
    std::size_t index;
    bool operator()(int a, int b) const;
  };

  struct Index {
    std::vector<int> fields;
    bool unique = false;
    // Record numbers in key order. Records posted since the order was last needed wait
    // in `unsorted`, in posting order, and are merged in when it is needed next: filling a
    // table then costs n log n instead of a shift of the whole order per record.
    std::vector<int> order;
    std::vector<int> unsorted;
    // A unique index's keys, checked when a record is posted.
    std::unordered_set<int, KeyHash, KeyEqual> keys;
  };

  std::deque<Record> records;  // insertion order; no copying of them all as they grow
  std::vector<Index> indexes;  // parallel to the table's index definitions
  // Per field: for a text field that some index uses, its place among the records'
  // collation keys, else -1.
  std::vector<int> collationSlot;
  std::size_t collatedCount = 0;
  int active = kInsertionOrder;
  int cursor = 0;  // position in the active order
  // The record just posted while an index is active: the cursor stands on it, and its
  // position in the order is looked up only when the cursor moves on from it.
  int posted = kNoRecord;
  bool atEnd = true;
  bool pending = false;
  bool pendingModified = false;
  // Whether reading gives the pending record: from AppendRecord until the cursor moves on
  // to a posted record (MoveFirst, MoveNext), which leaves the pending record pending.
  bool pendingCurrent = false;
  Record pendingRecord;
  std::int32_t autoIncrement = 1;

  static constexpr int kNoRecord = -1;

  int Count() const { return static_cast<int>(records.size()); }

  // The active order with every posted record in place.
  void SettleActive() {
    if (active != kInsertionOrder) Settle(indexes[active]);
  }

  void Settle(Index& index) {
    if (index.unsorted.empty()) return;
    const std::size_t n = index.fields.size();
    const auto less = [&](int a, int b) { return Compare(index, records[a], records[b], n) < 0; };
    // Stable on both counts: records with equal keys stay in posting order, after those
    // already in the order.
    std::stable_sort(index.unsorted.begin(), index.unsorted.end(), less);
    const auto sorted = static_cast<std::ptrdiff_t>(index.order.size());
    index.order.insert(index.order.end(), index.unsorted.begin(), index.unsorted.end());
    std::inplace_merge(index.order.begin(), index.order.begin() + sorted, index.order.end(), less);
    index.unsorted.clear();
  }

  // The record at a position of the active order (settled).
  int RecordAt(int position) const {
    return active == kInsertionOrder ? position : indexes[active].order[position];
  }

  // The record the cursor stands on; the table has records.
  int CurrentRecord() const {
    return posted != kNoRecord ? posted : RecordAt(std::min(cursor, Count() - 1));
  }

  // Makes the cursor a position in the active order again after a post.
  void PlaceCursor() {
    SettleActive();
    if (posted == kNoRecord) return;
    cursor = PositionOf(posted);
    posted = kNoRecord;
  }

  int PositionOf(int record) const {
    if (active == kInsertionOrder) return record;
    const auto& order = indexes[active].order;
    return static_cast<int>(std::find(order.begin(), order.end(), record) - order.begin());
  }

  int Compare(const Index& index, const Record& a, const Record& b, std::size_t fieldCount) const {
    for (std::size_t i = 0; i < fieldCount; ++i) {
      const auto f = static_cast<std::size_t>(index.fields[i]);
      const int c = CompareKeyValues({&a.values[f], CollationKeyOf(a, f)},
                                     {&b.values[f], CollationKeyOf(b, f)});
      if (c != 0) return c;
    }
    return 0;
  }

  const std::string* CollationKeyOf(const Record& record, std::size_t field) const {
    static const std::string kNone;
    const int slot = collationSlot[field];
    return slot < 0 ? &kNone : &record.collationKeys[static_cast<std::size_t>(slot)];
  }

  void ClearRows() {
    records.clear();
    for (auto& index : indexes) {
      index.order.clear();
      index.unsorted.clear();
      index.keys.clear();
    }
    cursor = 0;
    posted = kNoRecord;
    atEnd = true;
    pending = false;
    pendingModified = false;
  }
};

std::size_t Table::Impl::KeyHash::operator()(int record) const {
  std::size_t hash = 0;
  for (const int f : d->indexes[index].fields) {
    const Value& value = d->records[record].values[static_cast<std::size_t>(f)];
    std::size_t h = 0;
    if (value.IsText()) {
      h = std::hash<std::string>{}(value.Text());
    } else if (!value.IsNull()) {
      // Numbers compare by value; 0 and -0 are equal, and so are all NaNs.
      double number = value.IsInteger() ? value.Integer()
                      : value.IsFloat() ? value.Float()
                      : value.Boolean() ? 1.0
                                        : 0.0;
      if (number == 0 || std::isnan(number)) number = std::isnan(number) ? -1.5 : 0.0;
      h = std::hash<double>{}(number) ^ 0x9e3779b97f4a7c15ull;
    }
    hash = hash * 31 + h;
  }
  return hash;
}

bool Table::Impl::KeyEqual::operator()(int a, int b) const {
  const Index& i = d->indexes[index];
  return d->Compare(i, d->records[a], d->records[b], i.fields.size()) == 0;
}

Table::Table(std::string name, std::vector<FieldDef> fields, std::vector<IndexDef> indexes,
             std::string activeIndex)
    : name_(std::move(name)),
      fields_(std::move(fields)),
      indexes_(std::move(indexes)),
      impl_(std::make_unique<Impl>()) {
  impl_->collationSlot.assign(fields_.size(), -1);
  for (const auto& def : indexes_) {
    Impl::Index index;
    index.unique = def.unique;
    std::string_view rest = def.fields;
    for (;;) {
      const std::size_t semicolon = rest.find(';');
      const std::string part = Trim(rest.substr(0, semicolon));
      if (!part.empty()) {
        const auto it = std::find_if(fields_.begin(), fields_.end(),
                                     [&](const FieldDef& f) { return f.name == part; });
        if (it == fields_.end()) throw Error(msg::FieldNotFound(part));
        const int position = static_cast<int>(it - fields_.begin());
        index.fields.push_back(position);
        int& slot = impl_->collationSlot[static_cast<std::size_t>(position)];
        if (it->type == FieldType::String && slot < 0) {
          slot = static_cast<int>(impl_->collatedCount++);
        }
      }
      if (semicolon == std::string_view::npos) break;
      rest.remove_prefix(semicolon + 1);
    }
    const std::size_t position = impl_->indexes.size();
    index.keys = decltype(index.keys)(0, Impl::KeyHash{impl_.get(), position},
                                      Impl::KeyEqual{impl_.get(), position});
    impl_->indexes.push_back(std::move(index));
  }
  SetIndex(activeIndex);
}

Table::~Table() = default;

bool Table::HasPending() const {
  return impl_->pending;
}

void Table::SetFieldSize(int position, int size) {
  if (position < 0 || position >= static_cast<int>(fields_.size())) {
    throw Error(msg::ListIndexOutOfBounds(position));
  }
  fields_[position].size = size;
}

void Table::CreateEmpty() {
  impl_->ClearRows();
  impl_->autoIncrement = 1;
  state_ = State::Open;
}

void Table::OpenTable() {
  if (state_ == State::Absent) throw Error(msg::MissingDataProvider());
  if (state_ == State::Open) return;
  state_ = State::Open;
  impl_->SettleActive();
  impl_->cursor = 0;
  impl_->posted = Impl::kNoRecord;
  impl_->atEnd = impl_->records.empty();
}

void Table::CloseTable() {
  if (state_ != State::Open) return;
  impl_->pending = false;
  impl_->pendingModified = false;
  state_ = State::Closed;
}

void Table::SettlePending() {
  // FindByKey and AppendRecord post a pending record that holds a value and drop an
  // empty one.
  if (!impl_->pending) return;
  if (impl_->pendingModified) {
    PostRecord();
  } else {
    impl_->pending = false;
  }
}

void Table::AppendRecord() {
  if (state_ != State::Open) throw Error(msg::DatasetClosed());
  SettlePending();
  impl_->pendingRecord.values.assign(fields_.size(), Value());
  impl_->pendingRecord.collationKeys.assign(impl_->collatedCount, std::string());
  impl_->pending = true;
  impl_->pendingModified = false;
  impl_->pendingCurrent = true;
}

void Table::PostRecord() {
  if (state_ != State::Open) throw Error(msg::DatasetClosed());
  if (!impl_->pending) return;
  Impl& d = *impl_;
  if (d.Count() >= kMaxRecords) throw Error(msg::TooManyRecords(name_, kMaxRecords));
  Impl::Record record = d.pendingRecord;
  bool usesCounter = false;
  for (std::size_t f = 0; f < fields_.size(); ++f) {
    if (fields_[f].type == FieldType::AutoInc) {
      record.values[f] = Value(d.autoIncrement);
      usesCounter = true;
    }
    const int slot = d.collationSlot[f];
    if (slot >= 0 && record.values[f].IsText()) {
      record.collationKeys[static_cast<std::size_t>(slot)] = CollationKey(record.values[f].Text());
    }
  }
  const int number = d.Count();
  d.records.push_back(std::move(record));
  // A unique index that already holds the key refuses the record before anything changes.
  for (std::size_t i = 0; i < d.indexes.size(); ++i) {
    Impl::Index& index = d.indexes[i];
    if (!index.unique || index.keys.insert(number).second) continue;
    for (std::size_t j = 0; j < i; ++j) {
      if (d.indexes[j].unique) d.indexes[j].keys.erase(number);
    }
    d.records.pop_back();
    throw Error(msg::KeyViolation());
  }
  for (Impl::Index& index : d.indexes) index.unsorted.push_back(number);
  if (usesCounter) ++d.autoIncrement;
  d.pending = false;
  d.pendingModified = false;
  if (d.active == kInsertionOrder) {
    d.cursor = number;
  } else {
    d.posted = number;
  }
  d.atEnd = false;
}

void Table::SetIndex(std::string_view indexName) {
  int found = kInsertionOrder;
  if (!indexName.empty()) {
    const auto it = std::find_if(indexes_.begin(), indexes_.end(),
                                 [&](const IndexDef& def) { return def.name == indexName; });
    if (it == indexes_.end()) throw Error(msg::IndexNotFound(std::string(indexName)));
    found = static_cast<int>(it - indexes_.begin());
  }
  Impl& d = *impl_;
  const bool hadRecord = state_ == State::Open && !d.records.empty();
  const int current = hadRecord ? d.CurrentRecord() : 0;
  d.active = found;
  d.posted = Impl::kNoRecord;
  activeIndex_ = std::string(indexName);
  d.SettleActive();
  d.cursor = hadRecord ? d.PositionOf(current) : 0;
}

bool Table::FindByKey(const std::vector<Value>& values) {
  if (state_ != State::Open) throw Error(msg::DatasetClosed());
  Impl& d = *impl_;
  SettlePending();
  if (d.active == kInsertionOrder) throw Error(msg::NoActiveIndex());
  d.SettleActive();
  const Impl::Index& index = d.indexes[d.active];
  if (values.size() > index.fields.size()) {
    throw Error(msg::ListIndexOutOfBounds(static_cast<long long>(index.fields.size())));
  }
  Impl::Record probe;
  probe.values.assign(fields_.size(), Value());
  probe.collationKeys.assign(d.collatedCount, std::string());
  for (std::size_t i = 0; i < values.size(); ++i) {
    const auto f = static_cast<std::size_t>(index.fields[i]);
    probe.values[f] = ConvertForField(fields_[f], values[i]);
    const int slot = d.collationSlot[f];
    if (slot >= 0 && probe.values[f].IsText()) {
      probe.collationKeys[static_cast<std::size_t>(slot)] = CollationKey(probe.values[f].Text());
    }
  }
  const std::size_t n = values.size();
  const auto less = [&](int a, const Impl::Record& b) {
    return d.Compare(index, d.records[a], b, n) < 0;
  };
  const auto lower = std::lower_bound(index.order.begin(), index.order.end(), probe, less);
  if (lower == index.order.end() || d.Compare(index, d.records[*lower], probe, n) != 0) {
    return false;
  }
  d.cursor = static_cast<int>(lower - index.order.begin());
  d.posted = Impl::kNoRecord;
  d.atEnd = false;
  return true;
}

void Table::MoveFirst() {
  if (state_ != State::Open) throw Error(msg::DatasetClosed());
  Impl& d = *impl_;
  d.pendingCurrent = false;
  d.SettleActive();
  d.cursor = 0;
  d.posted = Impl::kNoRecord;
  d.atEnd = d.records.empty();
}

void Table::MoveNext() {
  if (state_ != State::Open) throw Error(msg::DatasetClosed());
  Impl& d = *impl_;
  d.pendingCurrent = false;
  d.PlaceCursor();
  if (d.cursor + 1 < d.Count()) {
    ++d.cursor;
    d.atEnd = false;
  } else {
    d.atEnd = true;
  }
}

bool Table::AtEnd() const {
  return state_ != State::Open || impl_->atEnd;
}

int Table::CountRecords() const {
  return impl_->Count();
}

Field Table::FieldNamed(std::string_view name) {
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    if (fields_[i].name == name) return Field(*this, static_cast<int>(i));
  }
  throw Error(msg::FieldNotFound(std::string(name)));
}

Field Table::FieldAt(int position) {
  if (position < 0 || position >= static_cast<int>(fields_.size())) {
    throw Error(msg::ListIndexOutOfBounds(position));
  }
  return Field(*this, position);
}

Value& Table::CurrentValue(int position) {
  if (state_ != State::Open || !impl_->pending) throw Error(msg::DatasetNotInInsertMode());
  return impl_->pendingRecord.values[position];
}

const Value& Table::CurrentValue(int position) const {
  static const Value kNull;
  const Impl& d = *impl_;
  if (state_ != State::Open) return kNull;
  if (d.pending && d.pendingCurrent) return d.pendingRecord.values[position];
  if (d.records.empty()) return kNull;
  return d.records[d.CurrentRecord()].values[position];
}

void Table::SetCurrentValue(int position, Value value) {
  Value& target = CurrentValue(position);
  target = ConvertForField(fields_[position], value);
  impl_->pendingModified = true;
}

// Field

const FieldDef& Field::Def() const {
  return table_->fields_[position_];
}

const Value& Field::AsValue() const {
  return static_cast<const Table&>(*table_).CurrentValue(position_);
}

bool Field::IsNull() const {
  return AsValue().IsNull();
}

std::string Field::AsText() const {
  const Value& v = AsValue();
  if (v.IsText()) return v.Text();
  if (v.IsInteger()) return std::to_string(v.Integer());
  if (v.IsFloat()) return FloatToStr(v.Float());
  if (v.IsBoolean()) return BooleanText(v.Boolean());
  return {};
}

std::int32_t Field::AsInteger() const {
  const Value& v = AsValue();
  if (v.IsInteger()) return v.Integer();
  if (v.IsText()) return StrToInt(v.Text());
  if (v.IsFloat()) return RoundToInteger(FieldDef{Def().name, FieldType::Integer}, v.Float());
  if (v.IsBoolean()) return v.Boolean() ? 1 : 0;
  return 0;
}

double Field::AsFloat() const {
  const Value& v = AsValue();
  if (v.IsFloat()) return v.Float();
  if (v.IsInteger()) return v.Integer();
  if (v.IsText()) return v.Text().empty() ? 0.0 : StrToFloat(v.Text());
  if (v.IsBoolean()) return v.Boolean() ? 1.0 : 0.0;
  return 0.0;
}

bool Field::AsBoolean() const {
  const Value& v = AsValue();
  if (v.IsBoolean()) return v.Boolean();
  if (v.IsInteger()) return v.Integer() != 0;
  if (v.IsFloat()) return v.Float() != 0;
  if (v.IsText()) return TextAsBoolean(v.Text());
  return false;
}

void Field::SetText(std::string_view text) {
  table_->SetCurrentValue(position_, Value(text));
}
void Field::SetInteger(std::int32_t value) {
  table_->SetCurrentValue(position_, Value(value));
}
void Field::SetFloat(double value) {
  table_->SetCurrentValue(position_, Value(value));
}
void Field::SetBoolean(bool value) {
  table_->SetCurrentValue(position_, Value(value));
}
void Field::Clear() {
  table_->SetCurrentValue(position_, Value());
}

}  // namespace trivo
