// What the window says after a load: the loader's own report of a prepared
// list, put in words.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/Engine.h"
#include "support/TempDir.h"
#include "ui/LoadReport.h"

namespace {

struct LoadCase {
  const char* name;
  std::string list;  // a list file's bytes; empty: the mask instead
  const char* mask;
  std::string said;
};

TEST(LoadReport, NamesWhatTheLoaderDidNotTakeAsItStood) {
  const LoadCase cases[] = {
      {"every line taken", "79161234567\r\n79161234568 Петров\r\n", nullptr, ""},
      {"a prepared list",
       "79161234567\r\nИванов 79161234568\r\nПетров\r\n\xEF\xBB\xBF" "89161234569\r\n"
       "7916123451x7\r\n791612345678901\r\n12345\r\n",
       nullptr,
       "Загружено номеров: 5. Не все строки взяты как есть:\n"
       "\nПропущены строки с текстом перед номером: 1\n    строка 2: \"Иванов 79161234568\"\n"
       "\nПропущены строки без номера: 1\n    строка 3: \"Петров\"\n"
       "\nМетка порядка байтов в начале строки пропущена (склеены два файла?): 1\n"
       "    строка 4: номер 89161234569\n"
       "\nНомер оборван буквой: 1\n    строка 5: номер 7916123451, \"x7\" уходит в текст\n"
       "\nБольше 11 цифр, номер обрезан: 1\n    строка 6: номер 79161234567, \"8901\" уходит в текст\n"
       "\nНельзя отправить, ошибка еще до отправки: 1\n    строка 7: номер 12345: цифр 5, а нужно 10 или 11\n"
       "\nУйдут на номер 7...: 1\n"
       "    строка 4: 89161234569 отправится на 79161234569 (внутренняя 8 заменена кодом страны 7)\n"},
      {"more of a kind than are shown",
       "a\r\nb\r\nc\r\nd\r\ne\r\n79161234567\r\n", nullptr,
       "Загружено номеров: 1. Не все строки взяты как есть:\n"
       "\nПропущены строки без номера: 5\n    строка 1: \"a\"\n    строка 2: \"b\"\n    строка 3: \"c\"\n"
       "    и еще 2\n"},
      {"a mask: no lines to name", "", "916123456*",
       "Загружено номеров: 10. Не все строки взяты как есть:\n"
       "\nУйдут на номер 7...: 10\n"
       "    9161234560 отправится на 79161234560 (десять цифр: впереди добавлен код страны 7)\n"
       "    9161234561 отправится на 79161234561 (десять цифр: впереди добавлен код страны 7)\n"
       "    9161234562 отправится на 79161234562 (десять цифр: впереди добавлен код страны 7)\n"
       "    и еще 7\n"},
  };
  testing_support::TempDir folder;
  folder.UseAsProgramFolder();
  std::unique_ptr<CEngine> engine(new CEngine());
  for (const LoadCase& c : cases) {
    SCOPED_TRACE(c.name);
    engine->ClearList();
    CListReport report;
    if (c.mask != nullptr) {
      engine->GenerateFromMask(c.mask, &report);
    } else {
      engine->LoadListText(c.list, nullptr, &report);
    }
    EXPECT_EQ(LoadReportText(report, engine->m_items), c.said);
  }
}

}  // namespace
