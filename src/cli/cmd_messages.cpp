// quillane-cli messages: prints every numbered message in one language, as
// the program would show it, from the translate.dat beside the executable.
#include <CLI/CLI.hpp>
#include <memory>
#include <ostream>

#include "cli/sharedoptions.h"
#include "cli/support.h"
#include "core/codepage.h"
#include "i18n/messages.h"
#include "i18n/translate.h"
#include "project/optionsfile.h"

namespace cli {

CommandRun Messages(CLI::App& app) {
  auto language = std::make_shared<int>(-1);
  AddLanguageOption(app, *language, "language");
  return [language](Console& io) {
    const int lang = *language >= 0 ? *language : options::LoadOptions(io.progpath).language;
    i18n::TranslationTable table;
    const i18n::LoadStatus status = table.Load(io.progpath);
    if (status == i18n::LoadStatus::Damaged)
      return FileError(io, "messages",
                       io.progpath + "translate.dat is damaged (" + table.LoadProblem() + ")");
    if (status == i18n::LoadStatus::Missing && lang != options::kGerman)
      return FileError(io, "messages", "cannot read " + io.progpath + "translate.dat");
    // Listing the messages leaves the file as it is: texts it lacks are
    // added for this run only.
    table.SetFile({});
    const int previousLanguage = i18n::Language();
    i18n::TranslationTable* const previousTable = i18n::CurrentTable();
    i18n::SetCurrentTable(&table);
    i18n::SetLanguage(lang);
    for (int n : i18n::MessageNumbers()) {
      std::u16string text = i18n::Msg(n);
      // One message per line: line breaks and tabs inside a text become blanks.
      for (char16_t& c : text)
        if (c == u'\n' || c == u'\r' || c == u'\t') c = u' ';
      io.out << n << '\t' << ql::ToUtf8(text) << '\n';
    }
    i18n::SetCurrentTable(previousTable);
    i18n::SetLanguage(previousLanguage);
    io.out.flush();
    if (!io.out) return FileError(io, "messages", "the output could not be written");
    return int(kOk);
  };
}

}  // namespace cli
