// SPDX-License-Identifier: GPL-3.0-or-later
// The one exception type of the tool: a failure the user is told about, in
// plain Italian, naming the file (and the table or field) it concerns. Its
// kinds say which layer failed; callers that only report catch Error.
#pragma once

#include <QString>

#include <stdexcept>

namespace ostelvia {

class Error : public std::runtime_error {
public:
    explicit Error(const QString& message) : std::runtime_error(message.toStdString()), message_(message) { }
    const QString& message() const { return message_; }

private:
    QString message_;
};

}  // namespace ostelvia
