// nux: the library's analyses on data files from the shell (docs/cli.md).
#include <cstdio>
#include <exception>
#include <new>

#include "command.h"

int main(int argc, char** argv) {
  using namespace nuxcli;
  CLI::App App(
      "nux: statistics, hypothesis tests, correlation, principal components, curve fits, "
      "clustering, Kohonen maps, ROC curves and transforms of data files (CSV or ASC) with the "
      "nux library.\nExit codes: 0 ok, 1 usage error, 2 data "
      "error, 130 interrupted.",
      "nux");
  App.set_version_flag("--version", "nux 0.1.0");
  App.require_subcommand(1);
  std::function<void()> Run;
  for (const TCommand& C : Commands()) {
    CLI::App* Sub = App.add_subcommand(C.Name, C.Summary);
    auto Body = C.Setup(*Sub);
    Sub->callback([&Run, Body] { Run = Body; });
  }
  SetExamples(App,
              "  nux describe data.csv\n  nux corr data.csv --plot corr.png\n"
              "  nux test welch data.csv --columns a,b\n"
              "  nux describe - < data.csv\n  nux <command> --help");
  try {
    App.parse(argc, argv);
  } catch (const CLI::ParseError& E) {
    return App.exit(E) == 0 ? exOK : exUsage;
  }
  InstallInterruptHandler();
  try {
    Run();
    return exOK;
  } catch (const EUsage& E) {
    std::fprintf(stderr, "nux: %s\n", E.what());
    return exUsage;
  } catch (const EInterrupted&) {
    std::fprintf(stderr, "nux: interrupted\n");
    return exInterrupted;
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "nux: out of memory\n");
    return exData;
  } catch (const std::exception& E) {
    std::fprintf(stderr, "nux: %s\n", E.what());
    return exData;
  }
}
