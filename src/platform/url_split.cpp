// A plain address splitter for the platforms that have no system parser
// (the test fake, the checker on Linux):
//   scheme ":" ["//" [user [":" password] "@"] host [":" port]] path ["?"|"#" extra]
#include <cctype>

#include "platform/platform.h"

namespace zolto {

bool SplitUrl(const std::string& text, UrlParts& parts) {
  const size_t colon = text.find(':');
  if (colon == std::string::npos || colon == 0) return false;
  for (size_t i = 0; i < colon; ++i) {
    const char c = text[i];
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.')
      return false;
  }
  parts = UrlParts{};
  parts.scheme = text.substr(0, colon);
  std::string rest = text.substr(colon + 1);
  if (rest.rfind("//", 0) == 0) {
    rest = rest.substr(2);
    const size_t end = rest.find_first_of("/?#");
    std::string authority = rest.substr(0, end);
    rest = end == std::string::npos ? "" : rest.substr(end);
    const size_t at = authority.rfind('@');
    if (at != std::string::npos) {
      const std::string login = authority.substr(0, at);
      authority = authority.substr(at + 1);
      const size_t sep = login.find(':');
      parts.user = login.substr(0, sep);
      if (sep != std::string::npos) parts.password = login.substr(sep + 1);
    }
    parts.host = authority.substr(0, authority.find(':'));
  }
  const size_t extra = rest.find_first_of("?#");
  parts.path = rest.substr(0, extra);
  if (extra != std::string::npos) parts.extra = rest.substr(extra);
  return true;
}

}  // namespace zolto
