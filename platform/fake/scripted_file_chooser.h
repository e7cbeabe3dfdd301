#pragma once
// A file chooser that answers from a script: each request takes the next answer (a path, or a cancel);
// with none left it cancels. It keeps every request as the chooser got it (folder filled in).

#include <deque>
#include <vector>

#include "platform/file_chooser.h"

class ScriptedFileChooser : public FileChooser {
public:
    void Answer(std::optional<NativeFilePath> answer) { m_answers.push_back(std::move(answer)); }
    const std::vector<FileChooserRequest>& Requests() const { return m_requests; }

protected:
    std::optional<NativeFilePath> Show(const FileChooserRequest& request) override
    {
        m_requests.push_back(request);
        if (m_answers.empty())
            return std::nullopt;
        std::optional<NativeFilePath> answer = std::move(m_answers.front());
        m_answers.pop_front();
        return answer;
    }

private:
    std::deque<std::optional<NativeFilePath>> m_answers;
    std::vector<FileChooserRequest> m_requests;
};
