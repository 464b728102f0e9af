// nux convert: CSV <-> ASC through the data table's readers and writers, chosen by extension.
#include "command.h"
#include "nux/frame/ascio.h"

namespace nuxcli {
namespace {

using namespace nux;

std::function<void()> Setup(CLI::App& Sub) {
  struct TOpts {
    TInputOptions In;
    std::string OutFile, OutDelimiter = "comma";
  };
  auto O = std::make_shared<TOpts>();
  O->In.Add(Sub);
  Sub.add_option("OUT", O->OutFile, "file to write: .asc for ASC, anything else CSV")->required();
  Sub.add_option("--out-delimiter", O->OutDelimiter, "delimiter of a CSV output")
      ->capture_default_str()
      ->check(CLI::IsMember({"comma", "semicolon", "tab", "blank"}));
  SetExamples(Sub,
              "  nux convert weather.csv weather.asc\n"
              "  nux convert weather.asc weather.csv --out-delimiter semicolon\n"
              "  nux convert - table.asc < export.csv");
  return [O] {
    TDataTable T;
    LoadTable(O->In, T);
    const std::string Format = InputFormat(O->OutFile, "auto");
    int32_t Code = 0;
    {
      TProgress P("writing", T.NrOfRows());
      if (Format == "asc") {
        Code = T.ExportAsASC(O->OutFile, -1);
      } else {
        const TCSVDelimiters D = O->OutDelimiter == "semicolon" ? csvSemicolon
                                 : O->OutDelimiter == "tab"     ? csvTab
                                 : O->OutDelimiter == "blank"   ? csvBlank
                                                                : csvComma;
        Code = T.ExportAsCSV(O->OutFile, -1, D, true, false);
      }
    }
    if (Code == ascAborted) throw EInterrupted();
    CheckInterrupted();
    if (Code != 0) throw EData("cannot write '" + O->OutFile + "'");
  };
}

const TRegister Reg({"convert", "convert a table between CSV and ASC (by extension)", Setup});

}  // namespace
}  // namespace nuxcli
