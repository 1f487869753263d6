#pragma once
// The Local SQL the program issues, and no more:
//
//   SELECT * FROM <table> WHERE <condition>
//   DELETE FROM <table> WHERE <condition>
//
//   condition := term { OR term }        term := factor { AND factor }
//   factor    := "(" condition ")" | field "=" literal
//              | field BETWEEN literal AND literal | field LIKE 'pattern'
//   field     := "Table"."Field Name" | "Field Name" | Identifier
//   literal   := 'text' (an apostrophe inside is written twice) | integer
//
// <table> names "<table>.DB" in the database folder. Keywords are not
// case-sensitive. A date or date-time field compares with a text 'D.M.Y'
// (day.month.year); a number field with an integer (or its text). LIKE
// takes % (any run of characters) and _ (one character) and ignores case;
// "=" compares texts exactly. A blank field matches no condition.
// Everything else (other statements, columns lists, ORDER BY, NOT, <, >,
// functions, joins, parameters, an unescaped apostrophe) is rejected with a
// DbError of kind Syntax naming the position, when the statement is
// prepared or run.
#include <memory>

#include "platform/db/Table.h"

namespace db {

namespace sql {
struct Statement;
}

class Query : public DataSet {
 public:
  Query();
  ~Query() override;

  void SetDatabaseName(const QString& folder) { database_ = folder; }
  const QString& DatabaseName() const { return database_; }
  // Replacing the statement closes the query.
  void SetSQL(const QString& text);
  const QString& SQL() const { return sql_; }

  // Parses the statement; throws DbError(Syntax).
  void Prepare();
  // Runs a SELECT and opens its result (read-only, in primary key order).
  void Open() override;
  void Close() override;
  // Runs a DELETE; returns the number of records deleted.
  int ExecSQL();
  int RowsAffected() const { return rowsAffected_; }

  void First() override;
  void Next() override;
  void Prior() override;
  void Last() override;
  int RecordCount() const override { return static_cast<int>(rows_.size()); }

 protected:
  const std::uint8_t* FieldBytes(int i) const override;
  QByteArray StoredBlob(int i) const override;
  QString DisplayName() const override;

 private:
  std::vector<std::uint32_t> Matching();

  QString database_;
  QString sql_;
  std::unique_ptr<sql::Statement> statement_;
  Table table_;
  std::vector<std::uint32_t> rows_;
  int rowsAffected_ = 0;
};

}  // namespace db
