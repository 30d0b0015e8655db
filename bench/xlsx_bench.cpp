// Filling a statistics-sized sheet (99 bowlers by 440 columns), saving and publishing it.
// Target: the whole run well under a second.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "util/Make.h"
#include "workbook/clsExcelControl.h"
#include "workbook/xlsx/SheetPublisher.h"
#include "workbook/xlsx/XlsxPackage.h"
#include "workbook/xlsx/XlsxWorkbook.h"

namespace lanereport {
namespace {

constexpr int kRows = 99;
constexpr int kColumns = 440;

std::string TemplatePath() {
  static const std::string path = [] {
    const char* main = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
    const char* rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    XlsxPackage package;
    package.Put(
        "[Content_Types].xml",
        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"rels\" "
        "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
        "<Override PartName=\"/xl/workbook.xml\" ContentType=\"application/vnd.openxmlformats-"
        "officedocument.spreadsheetml.sheet.main+xml\"/>"
        "<Override PartName=\"/xl/worksheets/sheet1.xml\" "
        "ContentType=\"application/vnd.openxmlformats-"
        "officedocument.spreadsheetml.worksheet+xml\"/></Types>");
    package.Put("_rels/.rels",
                std::string("<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/"
                            "relationships\"><Relationship Id=\"rId1\" Type=\"") +
                    rel + "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>");
    package.Put(
        "xl/workbook.xml",
        std::string("<workbook xmlns=\"") + main + "\" xmlns:r=\"" + rel +
            "\"><sheets><sheet name=\"Stat\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>");
    package.Put(
        "xl/_rels/workbook.xml.rels",
        std::string(
            "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
            "<Relationship Id=\"rId1\" Type=\"") +
            rel + "/worksheet\" Target=\"worksheets/sheet1.xml\"/></Relationships>");
    // A total column of formulas over each bowler's row, as templates have.
    std::string rows;
    for (int r = 4; r < 4 + kRows; ++r) {
      std::string n = std::to_string(r);
      rows += "<row r=\"" + n + "\"><c r=\"QA" + n + "\"><f>SUM(C" + n + ":PZ" + n +
              ")</f><v>0</v></c></row>";
    }
    package.Put("xl/worksheets/sheet1.xml", std::string("<worksheet xmlns=\"") + main +
                                                "\"><sheetData>" + rows +
                                                "</sheetData></worksheet>");
    std::string file = "/tmp/lanereport-xlsx-bench-" + std::to_string(::getpid()) + ".xlsx";
    MakeFile(file, package.ToBytes());
    std::atexit([] {
      ::unlink(("/tmp/lanereport-xlsx-bench-" + std::to_string(::getpid()) + ".xlsx").c_str());
    });
    return file;
  }();
  return path;
}

// One statistics table as the filler hands it over: a row of cell texts per sheet row.
std::vector<DataRow> Rows() {
  std::vector<DataRow> rows;
  for (int r = 0; r < kRows + 3; ++r) {
    DataRow row;
    row.reserve(kColumns);
    for (int c = 0; c < kColumns; ++c) {
      if (r < 3)
        row.push_back("見出し" + std::to_string(c));
      else if (c == 1)
        row.push_back("ボウラー" + std::to_string(r));
      else
        row.push_back(std::to_string((r * 7 + c * 13) % 300) + "." + std::to_string(c % 10));
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

void BM_FillSheet(benchmark::State& state) {
  std::vector<DataRow> rows = Rows();
  for (auto _ : state) {
    auto book = XlsxWorkbook::Open(TemplatePath());
    clsExcelControl control;
    control.SetupRows(book->Worksheets()[0], &rows, 0, 0);
    benchmark::DoNotOptimize(book.get());
  }
}
BENCHMARK(BM_FillSheet)->Unit(benchmark::kMillisecond);

void BM_FillAndSave(benchmark::State& state) {
  std::vector<DataRow> rows = Rows();
  for (auto _ : state) {
    auto book = XlsxWorkbook::Open(TemplatePath());
    clsExcelControl control;
    control.SetupRows(book->Worksheets()[0], &rows, 0, 0);
    benchmark::DoNotOptimize(book->SaveToBytes());
  }
}
BENCHMARK(BM_FillAndSave)->Unit(benchmark::kMillisecond);

void BM_PublishFilledSheet(benchmark::State& state) {
  std::vector<DataRow> rows = Rows();
  auto book = XlsxWorkbook::Open(TemplatePath());
  clsExcelControl control;
  control.SetupRows(book->Worksheets()[0], &rows, 0, 0);
  for (auto _ : state) {
    benchmark::DoNotOptimize(RenderSheetPage(*book, *book->Worksheets()[0], "Stat-.html", ""));
  }
}
BENCHMARK(BM_PublishFilledSheet)->Unit(benchmark::kMillisecond);

// The whole run: open, fill, save, publish.
void BM_WholeRun(benchmark::State& state) {
  std::vector<DataRow> rows = Rows();
  for (auto _ : state) {
    auto book = XlsxWorkbook::Open(TemplatePath());
    clsExcelControl control;
    control.SetupRows(book->Worksheets()[0], &rows, 0, 0);
    benchmark::DoNotOptimize(book->SaveToBytes());
    benchmark::DoNotOptimize(RenderSheetPage(*book, *book->Worksheets()[0], "Stat-.html", ""));
  }
}
BENCHMARK(BM_WholeRun)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lanereport
