#include "i18n/texts.h"

#include <cerrno>
#include <cstring>

#include "core/codepage.h"
#include "i18n/messages.h"

namespace i18n {

namespace {

const std::vector<std::u16string>& Germans() {
  static const std::vector<std::u16string> t = {
#define QL_TEXT_GERMAN(name, german) german,
      QL_SHOWN_TEXTS(QL_TEXT_GERMAN)
#undef QL_TEXT_GERMAN
  };
  return t;
}

// The system errors a user meets with files, each with its own short text.
struct ErrorName {
  int err;
  Text text;
};
const ErrorName kErrors[] = {
    {ENOENT, Text::ErrNotFound},     {EACCES, Text::ErrPermission},
    {EPERM, Text::ErrPermission},    {ENOSPC, Text::ErrDiskFull},
    {EDQUOT, Text::ErrDiskFull},     {EROFS, Text::ErrReadOnly},
    {EISDIR, Text::ErrIsFolder},     {ENOTDIR, Text::ErrNotFolder},
    {EFBIG, Text::ErrTooLarge},      {ENAMETOOLONG, Text::ErrNameTooLong},
    {EMFILE, Text::ErrTooManyFiles}, {ENFILE, Text::ErrTooManyFiles},
    {EIO, Text::ErrInputOutput},     {ENOMEM, Text::ErrOutOfMemory},
    {EEXIST, Text::ErrExists},       {EBUSY, Text::ErrBusy},
    {ETXTBSY, Text::ErrBusy},
};

}  // namespace

const std::u16string& German(Text t) { return Germans()[static_cast<size_t>(t)]; }

std::vector<Text> AllTexts() {
  std::vector<Text> all;
  for (size_t i = 0; i < Germans().size(); ++i) all.push_back(static_cast<Text>(i));
  return all;
}

std::u16string Fill(const std::u16string& translated, std::initializer_list<std::u16string> args) {
  std::u16string out;
  out.reserve(translated.size());
  for (size_t i = 0; i < translated.size(); ++i) {
    const char16_t c = translated[i];
    if (c == u'%' && i + 1 < translated.size() && translated[i + 1] >= u'1' && translated[i + 1] <= u'9') {
      const size_t n = static_cast<size_t>(translated[i + 1] - u'1');
      if (n < args.size()) {
        out += *(args.begin() + n);
        ++i;
        continue;
      }
    }
    out += c;
  }
  return out;
}

std::u16string Say(Text t, std::initializer_list<std::u16string> args) { return Fill(Tr(German(t)), args); }

std::string SayUtf8(Text t, std::initializer_list<std::u16string> args) { return ql::ToUtf8(Say(t, args)); }

std::u16string Decimal(int64_t n) { return ql::FromUtf8(std::to_string(n)); }

std::u16string SystemErrorText(int err) {
  for (const ErrorName& e : kErrors)
    if (e.err == err) return Say(e.text);
  return Say(Text::ErrOther, {ql::FromUtf8(std::to_string(err))});
}

std::u16string SystemErrorText(const std::string& strerrorText) {
  // SafeFile's own reasons: a target it may not replace, no name at all.
  if (strerrorText == "the file is read-only") return Say(Text::ErrFileReadOnly);
  if (strerrorText == "no file name") return Say(Text::ErrNoFileName);
  for (const ErrorName& e : kErrors)
    if (strerrorText == std::strerror(e.err)) return Say(e.text);
  return ql::FromUtf8(strerrorText);
}

}  // namespace i18n
