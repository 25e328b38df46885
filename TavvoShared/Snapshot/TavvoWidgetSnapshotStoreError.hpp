// TavvoWidgetSnapshotStoreError: the one failure of the store's own, when
// the application group has no shared folder.
#pragma once

#include <stdexcept>
#include <string>

class TavvoWidgetSnapshotStoreError : public std::exception {
public:
    enum class Code { missingAppGroupContainer };

    static TavvoWidgetSnapshotStoreError missingAppGroupContainer(std::string appGroupIdentifier);

    Code code() const { return m_code; }
    const std::string& appGroupIdentifier() const { return m_appGroupIdentifier; }

    // The localized text of "widget.app_group_unavailable" with the
    // identifier, in the language in force when it is asked for.
    std::string errorDescription() const;

    // The description as it was when the error was made.
    const char* what() const noexcept override { return m_description.c_str(); }

    friend bool operator==(const TavvoWidgetSnapshotStoreError& a, const TavvoWidgetSnapshotStoreError& b)
    {
        return a.m_code == b.m_code && a.m_appGroupIdentifier == b.m_appGroupIdentifier;
    }

private:
    TavvoWidgetSnapshotStoreError(Code code, std::string appGroupIdentifier);

    Code m_code;
    std::string m_appGroupIdentifier;
    std::string m_description;
};
