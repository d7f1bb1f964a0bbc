// Seeds for the archive fuzzer: archives and text tables from our writers.
#include <string>

#include "tools/text/TextTableWriter.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const std::string dir = argv[1];
  bar::writeFile(dir + "/empty.bar", bar::writeArchive({}));
  bar::writeFile(dir + "/entries.bar", bar::writeArchive({{1, 2, 3}, {}, {'a', 'b'}}));
  bar::writeFile(dir + "/text.bar", bar::writeArchive(texttable::buildEntries({"hello", "%3n %j ab\\ncd", ""})));
  bar::writeFile(dir + "/raw.bar", bar::writeArchiveBytes({2, 0, 0, 0, 0, 0, 1, 0, 0, 0, 'x'}));
  return 0;
}
