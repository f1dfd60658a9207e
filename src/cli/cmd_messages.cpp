// quillane-cli messages: prints every numbered message in one language, as
// the program would show it, from the translate.dat beside the executable.
#include <cstdio>
#include <string>

#include "command.h"
#include "core/codepage.h"
#include "i18n/messages.h"
#include "i18n/translate.h"
#include "project/options.h"

namespace {

bool ParseLanguage(const std::string& s, int& language) {
  if (s.size() != 1 || s[0] < '0' || s[0] > '3') return false;
  language = s[0] - '0';
  return true;
}

int RunMessages(const cli::Args& args) {
  const std::string progpath = cli::ProgramFolder();
  int language = -1;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--lang") {
      if (i + 1 >= args.size()) return cli::UsageError("messages", "--lang needs a number 0 ... 3");
      if (!ParseLanguage(args[++i], language))
        return cli::UsageError("messages", "language must be 0 (German), 1 (English), 2 (French) or 3 (Dutch)");
    } else {
      return cli::UsageError("messages", "unknown argument " + args[i]);
    }
  }
  if (language < 0) language = options::LoadOptions(progpath).language;

  i18n::TranslationTable table;
  const i18n::LoadStatus status = table.Load(progpath);
  if (status == i18n::LoadStatus::Damaged) {
    std::fprintf(stderr, "quillane-cli messages: %stranslate.dat is damaged (%s)\n", progpath.c_str(),
                 table.LoadProblem().c_str());
    return 1;
  }
  if (status == i18n::LoadStatus::Missing && language != options::kGerman) {
    std::fprintf(stderr, "quillane-cli messages: cannot read %stranslate.dat\n", progpath.c_str());
    return 1;
  }
  // Listing the messages leaves the file as it is: texts it lacks are added
  // for this run only.
  table.SetFile({});
  i18n::SetCurrentTable(&table);
  i18n::SetLanguage(language);

  for (int n : i18n::MessageNumbers()) {
    std::u16string text = i18n::Msg(n);
    // One message per line: line breaks and tabs inside a text become blanks.
    for (char16_t& c : text)
      if (c == u'\n' || c == u'\r' || c == u'\t') c = u' ';
    std::printf("%d\t%s\n", n, ql::ToUtf8(text).c_str());
  }
  i18n::SetCurrentTable(nullptr);
  if (std::fflush(stdout) != 0) {
    std::perror("quillane-cli messages");
    return 1;
  }
  return 0;
}

const cli::CliRegistrar kRegistrar({"messages", "messages [--lang N]",
                                    "print every message number and text in language N (0 German, 1 English, "
                                    "2 French, 3 Dutch; default: options.dat)",
                                    RunMessages});

}  // namespace
