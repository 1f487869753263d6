#include "platform/db/Query.h"

#include <QStringList>
#include <cstring>
#include <functional>

#include "platform/db/DbError.h"
#include "platform/db/Values.h"
#include "platform/os/Codec.h"
#include "platform/os/Formats.h"

namespace db {
namespace sql {

enum class Tok { Ident, Quoted, String, Number, LParen, RParen, Eq, Star, Dot, End };

struct Token {
  Tok kind = Tok::End;
  QString text;
  int pos = 0;  // 1-based character position
};

struct Literal {
  bool isString = false;
  QString text;
  int pos = 0;
};

struct FieldRef {
  QString qualifier;
  QString name;
  int pos = 0;
  int index = -1;  // bound field
};

struct Node {
  enum Kind { And, Or, Eq, Between, Like } kind = Eq;
  std::unique_ptr<Node> left, right;
  FieldRef field;
  Literal a, b;
  // Bound values.
  double lo = 0, hi = 0;
  QByteArray bytesLo, bytesHi;
  QString pattern;  // case-folded
};

struct Statement {
  bool select = false;
  QString table;
  std::unique_ptr<Node> where;
};

namespace {

[[noreturn]] void SyntaxError(const QString& sql, int pos, const QString& what) {
  throw DbError(
      ErrorKind::Syntax,
      QStringLiteral("Invalid SQL statement at position %1: %2 in: %3").arg(pos).arg(what, sql));
}

std::vector<Token> Lex(const QString& s) {
  std::vector<Token> out;
  int i = 0;
  const int n = static_cast<int>(s.size());
  while (i < n) {
    const QChar c = s[i];
    if (c.isSpace()) {
      ++i;
      continue;
    }
    Token t;
    t.pos = i + 1;
    if (c == u'"' || c == u'\'') {
      const QChar quote = c;
      ++i;
      QString text;
      bool closed = false;
      while (i < n) {
        if (s[i] == quote) {
          if (quote == u'\'' && i + 1 < n && s[i + 1] == u'\'') {
            text += u'\'';
            i += 2;
            continue;
          }
          ++i;
          closed = true;
          break;
        }
        text += s[i++];
      }
      if (!closed)
        SyntaxError(s, t.pos,
                    quote == u'"' ? QStringLiteral("unterminated name")
                                  : QStringLiteral("unterminated text"));
      t.kind = quote == u'"' ? Tok::Quoted : Tok::String;
      t.text = text;
    } else if (c.isDigit() || (c == u'-' && i + 1 < n && s[i + 1].isDigit())) {
      const int start = i++;
      while (i < n && s[i].isDigit()) ++i;
      if (i < n && (s[i].isLetter() || s[i] == u'.'))
        SyntaxError(s, i + 1, QStringLiteral("malformed number"));
      t.kind = Tok::Number;
      t.text = s.mid(start, i - start);
    } else if (c.isLetter() || c == u'_') {
      const int start = i++;
      while (i < n && (s[i].isLetterOrNumber() || s[i] == u'_')) ++i;
      t.kind = Tok::Ident;
      t.text = s.mid(start, i - start);
    } else {
      switch (c.unicode()) {
        case u'(':
          t.kind = Tok::LParen;
          break;
        case u')':
          t.kind = Tok::RParen;
          break;
        case u'=':
          t.kind = Tok::Eq;
          break;
        case u'*':
          t.kind = Tok::Star;
          break;
        case u'.':
          t.kind = Tok::Dot;
          break;
        default:
          SyntaxError(s, t.pos, QStringLiteral("unexpected character '%1'").arg(c));
      }
      t.text = c;
      ++i;
    }
    out.push_back(t);
  }
  Token end;
  end.pos = n + 1;
  out.push_back(end);
  return out;
}

class Parser {
 public:
  Parser(const QString& sql) : sql_(sql), toks_(Lex(sql)) {}

  std::unique_ptr<Statement> Parse() {
    auto st = std::make_unique<Statement>();
    if (Keyword("SELECT")) {
      st->select = true;
      Expect(Tok::Star, "'*' (only SELECT * is supported)");
    } else if (Keyword("DELETE")) {
      st->select = false;
    } else {
      Fail("SELECT or DELETE expected");
    }
    if (!Keyword("FROM")) Fail("FROM expected");
    if (Peek().kind != Tok::Ident && Peek().kind != Tok::Quoted) Fail("table name expected");
    st->table = Take().text;
    if (!Keyword("WHERE")) Fail("WHERE expected");
    st->where = Condition();
    if (Peek().kind != Tok::End) Fail("end of statement expected");
    return st;
  }

 private:
  const Token& Peek() const { return toks_[at_]; }
  const Token& Take() { return toks_[at_ < toks_.size() - 1 ? at_++ : at_]; }
  [[noreturn]] void Fail(const char* what) const {
    SyntaxError(sql_, Peek().pos, QLatin1String(what));
  }
  bool Keyword(const char* word) {
    if (Peek().kind == Tok::Ident &&
        Peek().text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0) {
      Take();
      return true;
    }
    return false;
  }
  void Expect(Tok kind, const char* what) {
    if (Peek().kind != kind) Fail(what);
    Take();
  }

  std::unique_ptr<Node> Condition() {
    auto left = Term();
    while (Keyword("OR")) {
      auto node = std::make_unique<Node>();
      node->kind = Node::Or;
      node->left = std::move(left);
      node->right = Term();
      left = std::move(node);
    }
    return left;
  }

  std::unique_ptr<Node> Term() {
    auto left = Factor();
    while (Keyword("AND")) {
      auto node = std::make_unique<Node>();
      node->kind = Node::And;
      node->left = std::move(left);
      node->right = Factor();
      left = std::move(node);
    }
    return left;
  }

  std::unique_ptr<Node> Factor() {
    if (Peek().kind == Tok::LParen) {
      Take();
      auto inner = Condition();
      Expect(Tok::RParen, "')' expected");
      return inner;
    }
    auto node = std::make_unique<Node>();
    node->field = Field();
    if (Peek().kind == Tok::Eq) {
      Take();
      node->kind = Node::Eq;
      node->a = Value();
    } else if (Keyword("BETWEEN")) {
      node->kind = Node::Between;
      node->a = Value();
      if (!Keyword("AND")) Fail("AND expected in BETWEEN");
      node->b = Value();
    } else if (Keyword("LIKE")) {
      node->kind = Node::Like;
      if (Peek().kind != Tok::String) Fail("a quoted pattern expected after LIKE");
      node->a = Value();
    } else {
      Fail("=, BETWEEN or LIKE expected");
    }
    return node;
  }

  FieldRef Field() {
    FieldRef f;
    f.pos = Peek().pos;
    if (Peek().kind == Tok::Ident) {
      static const char* kReserved[] = {"AND",  "OR",    "BETWEEN", "LIKE", "NOT", "SELECT",
                                        "FROM", "WHERE", "DELETE",  "NULL", "IS",  "IN"};
      for (const char* w : kReserved) {
        if (Peek().text.compare(QLatin1String(w), Qt::CaseInsensitive) == 0)
          Fail("field name expected");
      }
    } else if (Peek().kind != Tok::Quoted) {
      Fail("field name expected");
    }
    f.name = Take().text;
    if (Peek().kind == Tok::Dot) {
      Take();
      if (Peek().kind != Tok::Quoted && Peek().kind != Tok::Ident)
        Fail("field name expected after '.'");
      f.qualifier = f.name;
      f.name = Take().text;
    }
    return f;
  }

  Literal Value() {
    Literal v;
    v.pos = Peek().pos;
    if (Peek().kind == Tok::String) {
      v.isString = true;
    } else if (Peek().kind != Tok::Number) {
      Fail("a quoted text or a number expected");
    }
    v.text = Take().text;
    return v;
  }

  QString sql_;
  std::vector<Token> toks_;
  std::size_t at_ = 0;
};

// A 'D.M.Y' date literal.
std::optional<double> DateLiteral(const QString& text) {
  const QStringList parts = text.split(u'.');
  if (parts.size() != 3) return std::nullopt;
  int v[3];
  for (int i = 0; i < 3; ++i) {
    const QString p = parts[i].trimmed();
    bool ok = !p.isEmpty();
    for (QChar c : p) ok = ok && c.isDigit();
    if (!ok) return std::nullopt;
    v[i] = p.toInt(&ok);
    if (!ok) return std::nullopt;
  }
  return fmt::TryEncodeDate(v[2], v[1], v[0]);
}

// % any run, _ one character; both texts already case-folded.
bool Like(const QString& s, const QString& p) {
  qsizetype si = 0, pi = 0, starP = -1, starS = 0;
  while (si < s.size()) {
    if (pi < p.size() && (p[pi] == u'_' || (p[pi] != u'%' && p[pi] == s[si]))) {
      ++si;
      ++pi;
    } else if (pi < p.size() && p[pi] == u'%') {
      starP = pi++;
      starS = si;
    } else if (starP >= 0) {
      pi = starP + 1;
      si = ++starS;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == u'%') ++pi;
  return pi == p.size();
}

}  // namespace

std::unique_ptr<Statement> ParseStatement(const QString& sql) { return Parser(sql).Parse(); }

}  // namespace sql

namespace {

void Bind(sql::Node& node, const DataSet& set, const QString& table, const QString& text) {
  using sql::Node;
  if (node.kind == Node::And || node.kind == Node::Or) {
    Bind(*node.left, set, table, text);
    Bind(*node.right, set, table, text);
    return;
  }
  auto fail = [&](int pos, const QString& what) -> void {
    throw DbError(
        ErrorKind::Syntax,
        QStringLiteral("Invalid SQL statement at position %1: %2 in: %3").arg(pos).arg(what, text));
  };
  if (!node.field.qualifier.isEmpty() &&
      node.field.qualifier.compare(table, Qt::CaseInsensitive) != 0) {
    fail(node.field.pos, QStringLiteral("unknown table \"%1\"").arg(node.field.qualifier));
  }
  node.field.index = set.FieldIndex(node.field.name);
  if (node.field.index < 0)
    fail(node.field.pos, QStringLiteral("unknown field \"%1\"").arg(node.field.name));
  const FieldDef& f = set.FieldList()[static_cast<std::size_t>(node.field.index)];
  if (node.kind == Node::Like) {
    if (f.type != FieldType::Alpha && f.type != FieldType::Memo && f.type != FieldType::FmtMemo) {
      fail(node.field.pos,
           QStringLiteral("LIKE needs a text field, \"%1\" is not one").arg(f.name));
    }
    node.pattern = node.a.text.toCaseFolded();
    return;
  }
  auto value = [&](const sql::Literal& lit, double& number, QByteArray& bytes) {
    if (values::IsNumeric(f.type)) {
      const auto v = fmt::StrToFloat(lit.text);
      if (!v) fail(lit.pos, QStringLiteral("'%1' is no number for \"%2\"").arg(lit.text, f.name));
      number = *v;
    } else if (f.type == FieldType::Date || f.type == FieldType::Timestamp) {
      const auto v = lit.isString ? sql::DateLiteral(lit.text) : std::nullopt;
      if (!v)
        fail(lit.pos,
             QStringLiteral("'%1' is no date (day.month.year) for \"%2\"").arg(lit.text, f.name));
      number = *v;
    } else if (f.type == FieldType::Time) {
      const auto v = lit.isString ? fmt::StrToTime(lit.text) : std::nullopt;
      if (!v) fail(lit.pos, QStringLiteral("'%1' is no time for \"%2\"").arg(lit.text, f.name));
      number = *v;
    } else if (f.type == FieldType::Alpha) {
      bytes = os::ToAnsi(lit.text);
    } else {
      fail(node.field.pos, QStringLiteral("field \"%1\" cannot be compared").arg(f.name));
    }
  };
  value(node.a, node.lo, node.bytesLo);
  if (node.kind == Node::Between) value(node.b, node.hi, node.bytesHi);
}

int CompareAlpha(const std::uint8_t* p, int width, const QByteArray& lit) {
  const auto len =
      static_cast<int>(strnlen(reinterpret_cast<const char*>(p), static_cast<std::size_t>(width)));
  const int c = std::memcmp(p, lit.constData(),
                            static_cast<std::size_t>(std::min<qsizetype>(len, lit.size())));
  if (c != 0) return c;
  return len < lit.size() ? -1 : (len > lit.size() ? 1 : 0);
}

}  // namespace

Query::Query() = default;
Query::~Query() = default;

QString Query::DisplayName() const { return QStringLiteral("Query %1").arg(sql_); }

void Query::SetSQL(const QString& text) {
  Close();
  sql_ = text;
  statement_.reset();
}

void Query::Prepare() {
  if (!statement_) statement_ = sql::ParseStatement(sql_);
}

std::vector<std::uint32_t> Query::Matching() {
  Prepare();
  QString name = statement_->table;
  table_.SetDatabaseName(database_);
  table_.SetTableName(name.contains(u'.') ? name : name + QStringLiteral(".DB"));
  table_.Open();
  try {
    Bind(*statement_->where, table_, statement_->table, sql_);
  } catch (...) {
    table_.Close();
    throw;
  }
  const auto& fields = table_.FieldList();
  std::function<bool(const sql::Node&, std::uint32_t)> eval = [&](const sql::Node& n,
                                                                  std::uint32_t slot) -> bool {
    using sql::Node;
    if (n.kind == Node::And) return eval(*n.left, slot) && eval(*n.right, slot);
    if (n.kind == Node::Or) return eval(*n.left, slot) || eval(*n.right, slot);
    const auto fi = static_cast<std::size_t>(n.field.index);
    const FieldDef& f = fields[fi];
    const std::uint8_t* rec = table_.Rec(slot);
    const std::uint8_t* p = rec + table_.offsets_[fi];
    if (values::IsNull(f, p)) return false;
    if (n.kind == Node::Like) {
      const QString text = IsBlobType(f.type) ? os::FromAnsi(table_.BlobOf(rec, n.field.index))
                                              : values::ToText(f, p);
      return sql::Like(text.toCaseFolded(), n.pattern);
    }
    if (f.type == FieldType::Alpha) {
      const int lo = CompareAlpha(p, f.size, n.bytesLo);
      if (n.kind == Node::Eq) return lo == 0;
      return lo >= 0 && CompareAlpha(p, f.size, n.bytesHi) <= 0;
    }
    const double v = values::IsNumeric(f.type) ? values::ToNumber(f, p) : values::ToDateTime(f, p);
    if (n.kind == Node::Eq) return v == n.lo;
    return v >= n.lo && v <= n.hi;
  };
  std::vector<std::uint32_t> rows;
  for (std::uint32_t slot : table_.order_) {
    if (eval(*statement_->where, slot)) rows.push_back(slot);
  }
  return rows;
}

void Query::Open() {
  if (Active()) return;
  Prepare();
  if (!statement_->select) {
    throw DbError(ErrorKind::Usage,
                  QStringLiteral("%1: only a SELECT statement opens a result").arg(DisplayName()));
  }
  rows_ = Matching();
  SetFieldList(table_.FieldList(), table_.KeyFieldCount());
  state_ = DataState::Browse;
  First();
  Notify(DataEvent::StateChanged);
}

void Query::Close() {
  if (!Active()) return;
  table_.Close();
  rows_.clear();
  state_ = DataState::Inactive;
  pos_ = 0;
  bof_ = eof_ = true;
  Notify(DataEvent::StateChanged);
}

int Query::ExecSQL() {
  Close();
  Prepare();
  if (statement_->select) {
    throw DbError(
        ErrorKind::Usage,
        QStringLiteral("%1: a SELECT statement is opened, not executed").arg(DisplayName()));
  }
  const std::vector<std::uint32_t> rows = Matching();
  try {
    for (std::uint32_t slot : rows) {
      table_.GotoBookmark({slot, table_.serials_[slot]});
      table_.Delete();
    }
  } catch (...) {
    table_.Close();
    throw;
  }
  table_.Close();
  rowsAffected_ = static_cast<int>(rows.size());
  return rowsAffected_;
}

void Query::First() {
  pos_ = 0;
  bof_ = true;
  eof_ = rows_.empty();
  Notify(DataEvent::Scrolled);
}

void Query::Last() {
  pos_ = rows_.empty() ? 0 : static_cast<int>(rows_.size()) - 1;
  eof_ = true;
  bof_ = rows_.empty();
  Notify(DataEvent::Scrolled);
}

void Query::Next() { StepNext(rows_.size()); }

void Query::Prior() { StepPrior(); }

const std::uint8_t* Query::FieldBytes(int i) const {
  if (!Active() || rows_.empty()) NoRecord();
  return table_.Rec(rows_[static_cast<std::size_t>(pos_)]) + offsets_[static_cast<std::size_t>(i)];
}

QByteArray Query::StoredBlob(int i) const {
  if (!Active() || rows_.empty()) NoRecord();
  return table_.BlobOf(table_.Rec(rows_[static_cast<std::size_t>(pos_)]), i);
}

}  // namespace db
