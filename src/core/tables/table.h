#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tables/value.h"

namespace trivo {

struct FieldDef {
  std::string name;
  FieldType type;
  int size = 0;  // characters, for String fields
};

struct IndexDef {
  std::string name;
  std::string fields;  // field names separated by ";", blanks around names ignored
  bool unique = false;
};

class Table;

// A field of a table, bound to the table's current record (the pending record from
// AppendRecord until the cursor moves on). Reading a null field gives the empty text, 0
// or false.
class Field {
 public:
  Field(Table& table, int position) : table_(&table), position_(position) {}

  const FieldDef& Def() const;
  int Position() const { return position_; }

  bool IsNull() const;
  std::string AsText() const;
  std::int32_t AsInteger() const;  // a text field's value converted as integer text
  double AsFloat() const;
  bool AsBoolean() const;
  const Value& AsValue() const;

  // Setting works on the pending record only. A text for a String field is cut to the
  // field's size and then loses its trailing blanks; a text for a number field is
  // converted ("'%s' ist kein gültiger Integerwert" and the like).
  void SetText(std::string_view text);
  void SetInteger(std::int32_t value);
  void SetFloat(double value);
  void SetBoolean(bool value);
  void Clear();

 private:
  Table* table_;
  int position_;
};

// A working table: typed fields, named indexes, an auto-increment counter and a cursor.
// States: absent (never created in this run), open, closed with its rows kept.
class Table {
 public:
  enum class State { Absent, Open, Closed };

  Table(std::string name, std::vector<FieldDef> fields, std::vector<IndexDef> indexes,
        std::string activeIndex = {});
  ~Table();
  Table(const Table&) = delete;
  Table& operator=(const Table&) = delete;

  const std::string& Name() const { return name_; }
  State GetState() const { return state_; }
  bool IsOpen() const { return state_ == State::Open; }
  bool HasPending() const;

  const std::vector<FieldDef>& FieldDefs() const { return fields_; }
  // Definitions survive CreateEmpty and CloseTable; the PTF reader enlarges text sizes.
  void SetFieldSize(int position, int size);

  void CreateEmpty();
  void OpenTable();   // "Fehlender Daten-Provider oder Datenpaket" on an absent table
  void CloseTable();  // keeps the rows; a pending record is discarded

  // The most records a table holds: far above any real network, and a bound on the
  // memory that an absurd input (millions of rows or list items) can take.
  static constexpr int kMaxRecords = 1'000'000;

  void AppendRecord();  // "Operation bei geschlossener Datenmenge nicht ausführbar" unless open
  // "Key violation." when a unique index already holds the key; the message for too many
  // records when the table holds kMaxRecords.
  void PostRecord();

  // The named index becomes active; the empty name makes insertion order active. The
  // setting stays across CloseTable, OpenTable and CreateEmpty. A pending record stays
  // pending.
  void SetIndex(std::string_view indexName);
  const std::string& ActiveIndex() const { return activeIndex_; }

  // Searches the records whose leading key fields of the active index equal the values
  // (one value per leading field). Text values are cut and trimmed like stored values.
  // A pending record is posted first (dropped when no field was set): the only browsing
  // operation that posts.
  bool FindByKey(const std::vector<Value>& values);

  // Walk the posted records; a pending record stays pending (PostRecord, FindByKey,
  // CloseTable or CreateEmpty settle it) but is no longer the current record.
  void MoveFirst();
  void MoveNext();
  bool AtEnd() const;
  int CountRecords() const;

  Field FieldNamed(std::string_view name);  // error when absent
  Field FieldAt(int position);              // "Listenindex überschreitet das Maximum (%d)"

 private:
  friend class Field;
  struct Impl;
  Value& CurrentValue(int position);
  const Value& CurrentValue(int position) const;
  void SetCurrentValue(int position, Value value);
  void SettlePending();

  std::string name_;
  std::vector<FieldDef> fields_;
  std::vector<IndexDef> indexes_;
  std::string activeIndex_;
  State state_ = State::Absent;
  std::unique_ptr<Impl> impl_;
};

}  // namespace trivo
