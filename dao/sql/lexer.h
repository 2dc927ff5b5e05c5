// Splits Access SQL text into tokens: names (plain or in brackets), numbers,
// texts in double or single quotes, dates between # signs, and symbols.
// Keywords are names; the parser tells them apart.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace dao::sql {

enum class TokenKind {
  kEnd,
  kName,         // a plain name or keyword
  kBracketName,  // [any name]: never a keyword
  kNumber,       // digits, optionally with a fraction and an exponent
  kText,         // "..." or '...' with the doubled quote undone
  kDate,         // #...#: the text between the signs
  kGuid,         // {guid {...}}: the GUID's 38-character text
  kSymbol,       // ( ) , ; . ! * + - / \ ^ & = <> < > <= >= ?
};

struct Token {
  TokenKind kind = TokenKind::kEnd;
  std::string text;
  std::size_t begin = 0;  // byte offsets in the statement
  std::size_t end = 0;

  bool IsSymbol(std::string_view symbol) const { return kind == TokenKind::kSymbol && text == symbol; }
  // A plain name equal to `word` without regard to case.
  bool IsWord(std::string_view word) const;
};

// The tokens of `text`, ending with one kEnd token. Raises DAO's 3075 for a
// text, date or bracketed name that is not closed, and for a character
// that starts no token.
std::vector<Token> Tokenize(std::string_view text);

}  // namespace dao::sql
