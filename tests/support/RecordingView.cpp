#include "RecordingView.h"

namespace korvane::test {

void RecordingView::showStatus(int panel, const std::string& text) {
    if (panel >= 0 && panel < 3) status[panel] = text;
    if (panel == 0) statusTexts.push_back(text);
}

std::optional<std::string> RecordingView::nextAnswer() {
    if (fileAnswers.empty()) return std::nullopt;
    auto answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}

std::optional<std::string> RecordingView::askOpenFileName(const FileDialogRequest& request) {
    openRequests.push_back(request);
    return nextAnswer();
}

std::optional<std::string> RecordingView::askSaveFileName(const FileDialogRequest& request) {
    saveRequests.push_back(request);
    return nextAnswer();
}

void RecordingView::showTools(const std::vector<std::string>& names, int selected) {
    tools = names;
    toolSelected = selected;
}

void RecordingView::showOperations(const TCheckListBoxExt& list, int selected) {
    operations.clear();
    checked.clear();
    for (int i = 0; i < list.count(); ++i) {
        operations.push_back(list.items[static_cast<std::size_t>(i)].name);
        checked.push_back(list.isChecked(i));
    }
    operationSelected = selected;
}

} // namespace korvane::test
