#include "platform/headless/headless_ui.h"

#include "platform/json.h"

namespace quarn {
namespace {

std::string DialogEvent(const char* name, const std::string& answerJson) {
  return JsonObject().Add("event", "dialog").Add("name", name).AddRaw("answer", answerJson).Str();
}

std::string JsonString(const std::string& s) {
  std::string out;
  AppendJsonString(out, s);
  return out;
}

}  // namespace

std::optional<ScriptedAnswer> HeadlessUi::TakeAnswer(ScriptedAnswer::Kind wanted) {
  if (answers_.empty()) return std::nullopt;
  ScriptedAnswer a = std::move(answers_.front());
  answers_.pop_front();
  if (a.kind != wanted) return std::nullopt;
  return a;
}

void HeadlessUi::ShowMessage(const std::string& text, MessageKind /*kind*/) {
  transcript_.Event("message", text);
}

std::optional<std::string> HeadlessUi::AskOpenFile(const OpenFileRequest& /*request*/) {
  const auto a = TakeAnswer(ScriptedAnswer::Kind::File);
  transcript_.Line(DialogEvent("open", a ? JsonString(a->text) : "null"));
  if (!a) return std::nullopt;
  return a->text;
}

std::optional<std::string> HeadlessUi::AskSaveFile(const SaveFileRequest& /*request*/) {
  const auto a = TakeAnswer(ScriptedAnswer::Kind::File);
  transcript_.Line(DialogEvent("save", a ? JsonString(a->text) : "null"));
  if (!a) return std::nullopt;
  return a->text;
}

std::optional<std::string> HeadlessUi::AskText(const char* dialogName) {
  const auto a = TakeAnswer(ScriptedAnswer::Kind::Text);
  transcript_.Line(DialogEvent(dialogName, a ? JsonString(a->text) : "null"));
  if (!a) return std::nullopt;
  return a->text;
}

std::optional<std::string> HeadlessUi::AskGroupName(const std::string& /*initial*/) {
  return AskText("groupName");
}

// The transcript shows what the dialog showed: the VOR and the text in the field.
std::optional<std::string> HeadlessUi::AskRadial(const RadialDialogFields& fields) {
  const auto a = TakeAnswer(ScriptedAnswer::Kind::Text);
  transcript_.Line(JsonObject()
                       .Add("event", "dialog")
                       .Add("name", "radial")
                       .AddRaw("answer", a ? JsonString(a->text) : "null")
                       .Add("vorName", fields.vorName)
                       .Add("vorIdent", fields.vorIdent)
                       .Add("radial", fields.radial)
                       .Str());
  if (!a) return std::nullopt;
  return a->text;
}

// The transcript shows what the dialog showed: the file, the problem and the columns.
std::optional<std::string> HeadlessUi::AskColumnMap(const ColumnMapRequest& request) {
  const auto a = TakeAnswer(ScriptedAnswer::Kind::Text);
  std::string columns = "[";
  for (std::size_t i = 0; i < request.columns.size(); ++i) {
    if (i > 0) columns += ",";
    AppendJsonString(columns, request.columns[i]);
  }
  columns += "]";
  transcript_.Line(JsonObject()
                       .Add("event", "dialog")
                       .Add("name", "columnMap")
                       .AddRaw("answer", a ? JsonString(a->text) : "null")
                       .Add("file", request.file)
                       .Add("problem", request.problem)
                       .AddRaw("columns", columns)
                       .Add("map", request.map)
                       .Str());
  if (!a) return std::nullopt;
  return a->text;
}

std::string HeadlessUi::RememberedColumnMap(const std::vector<std::string>& columns) {
  const auto it = columnMaps_.find(columns);
  return it == columnMaps_.end() ? std::string() : it->second;
}

void HeadlessUi::RememberColumnMap(const std::vector<std::string>& columns,
                                   const std::string& map) {
  columnMaps_[columns] = map;
}

std::optional<SearchDirAnswer> HeadlessUi::AskSearchDir(const SearchDirAnswer& /*initial*/) {
  const auto a = TakeAnswer(ScriptedAnswer::Kind::Dir);
  if (!a) {
    transcript_.Line(DialogEvent("searchDir", "null"));
    return std::nullopt;
  }
  transcript_.Line(DialogEvent("searchDir", JsonObject()
                                                .Add("directory", a->text)
                                                .Add("recurse", a->recurse)
                                                .Add("fs2000", a->fs2000)
                                                .Str()));
  return SearchDirAnswer{a->text, a->recurse, a->fs2000};
}

void HeadlessUi::SetStatusText(const std::string& text) {
  status_ = text;
  transcript_.Event("status", text);
}

void HeadlessUi::SetWaitCursor(bool /*on*/) {}

void HeadlessUi::SetTitle(const std::string& title) {
  title_ = title;
  transcript_.Event("title", title);
}

}  // namespace quarn
