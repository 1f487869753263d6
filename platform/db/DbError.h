#pragma once
// The one error type of the table engine. Every failure the engine detects
// (a damaged or truncated file, an I/O failure, a key violation, a statement
// it does not accept, a call in the wrong state) is thrown as a DbError with
// a message that names the table or statement. The layers above decide what
// reaches the user.
#include <QString>
#include <stdexcept>

namespace db {

enum class ErrorKind {
  Corruption,    // the file is not a table we can read: damaged, truncated, inconsistent
  Io,            // the operating system refused a read, write, create, rename or delete
  NotFound,      // a table, field, index or record that does not exist
  KeyViolation,  // a second record with the same primary key
  Syntax,        // a statement outside the accepted SQL subset
  Usage,         // a call the table's state does not allow (edit a closed table, ...)
};

class DbError : public std::runtime_error {
 public:
  DbError(ErrorKind kind, const QString& message)
      : std::runtime_error(message.toStdString()), kind_(kind), message_(message) {}
  ErrorKind Kind() const { return kind_; }
  const QString& Message() const { return message_; }

 private:
  ErrorKind kind_;
  QString message_;
};

}  // namespace db
