#include "dao/sql/lexer.h"

#include "dao/sql/sql_error.h"
#include "platform/name_list.h"
#include "platform/text_case.h"

namespace dao::sql {
namespace {

bool IsNameByte(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c >= 0x80;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v' || c == '\0'; }

}  // namespace

bool Token::IsWord(std::string_view word) const {
  return kind == TokenKind::kName && platform::AnsiSameText(text, word);
}

std::vector<Token> Tokenize(std::string_view text) {
  std::vector<Token> tokens;
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (true) {
    while (i < n && IsBlank(text[i])) ++i;
    Token token;
    token.begin = i;
    if (i == n) {
      token.end = n;
      tokens.push_back(std::move(token));
      return tokens;
    }
    const char c = text[i];
    if (c == '"' || c == '\'') {
      std::size_t j = i + 1;
      while (true) {
        if (j >= n) {
          RaiseSql(kErrSyntaxInExpression,
                   "Syntax error in string in query expression '" + std::string(text.substr(i)) + "'.");
        }
        if (text[j] == c) {
          if (j + 1 < n && text[j + 1] == c) {
            token.text.push_back(c);
            j += 2;
            continue;
          }
          break;
        }
        token.text.push_back(text[j++]);
      }
      token.kind = TokenKind::kText;
      i = j + 1;
    } else if (c == '#') {
      const std::size_t close = text.find('#', i + 1);
      if (close == std::string_view::npos) {
        RaiseSql(kErrSyntaxInExpression,
                 "Syntax error in date in query expression '" + std::string(text.substr(i)) + "'.");
      }
      token.kind = TokenKind::kDate;
      token.text = std::string(text.substr(i + 1, close - i - 1));
      i = close + 1;
    } else if (c == '{' && platform::AnsiSameText(text.substr(i + 1, 5), "guid ")) {
      // A GUID literal: {guid {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}}.
      const std::size_t open = text.find_first_not_of(' ', i + 6);
      const std::size_t close = open == std::string_view::npos ? open : text.find('}', open);
      const std::size_t end = close == std::string_view::npos ? close : text.find_first_not_of(' ', close + 1);
      if (end == std::string_view::npos || text[open] != '{' || text[end] != '}') {
        RaiseSql(kErrSyntaxInExpression,
                 "Malformed GUID in query expression '" + std::string(text.substr(i)) + "'.");
      }
      token.kind = TokenKind::kGuid;
      token.text = std::string(text.substr(open, close - open + 1));
      i = end + 1;
    } else if (c == '[') {
      const std::size_t close = text.find(']', i + 1);
      const std::size_t nested = text.find('[', i + 1);
      if (close == std::string_view::npos || (nested != std::string_view::npos && nested < close)) {
        const std::size_t stop = close == std::string_view::npos ? n : close + 1;
        RaiseSql(kErrSyntaxInExpression,
                 "Invalid bracketing of name '" + std::string(text.substr(i, stop - i)) + "'.");
      }
      token.kind = TokenKind::kBracketName;
      token.text = std::string(text.substr(i + 1, close - i - 1));
      i = close + 1;
    } else if (IsDigit(c) || (c == '.' && i + 1 < n && IsDigit(text[i + 1]) &&
                              (tokens.empty() || tokens.back().kind == TokenKind::kSymbol))) {
      std::size_t j = i;
      while (j < n && IsDigit(text[j])) ++j;
      if (j < n && text[j] == '.') {
        ++j;
        while (j < n && IsDigit(text[j])) ++j;
      }
      if (j < n && (text[j] == 'e' || text[j] == 'E')) {
        std::size_t k = j + 1;
        if (k < n && (text[k] == '+' || text[k] == '-')) ++k;
        if (k < n && IsDigit(text[k])) {
          while (k < n && IsDigit(text[k])) ++k;
          j = k;
        }
      }
      token.kind = TokenKind::kNumber;
      token.text = std::string(text.substr(i, j - i));
      i = j;
    } else if (IsNameByte(static_cast<unsigned char>(c))) {
      std::size_t j = i;
      while (j < n && IsNameByte(static_cast<unsigned char>(text[j]))) ++j;
      token.kind = TokenKind::kName;
      token.text = std::string(text.substr(i, j - i));
      i = j;
    } else {
      static constexpr std::string_view kTwo[] = {"<>", "<=", ">="};
      token.kind = TokenKind::kSymbol;
      for (const std::string_view two : kTwo) {
        if (text.substr(i, 2) == two) token.text = std::string(two);
      }
      if (token.text.empty()) {
        static constexpr std::string_view kOne = "(),;.!*+-/\\^&=<>?";
        if (kOne.find(c) == std::string_view::npos) RaiseMissingOperator(text.substr(i));
        token.text = std::string(1, c);
      }
      i += token.text.size();
    }
    token.end = i;
    tokens.push_back(std::move(token));
  }
}

}  // namespace dao::sql
