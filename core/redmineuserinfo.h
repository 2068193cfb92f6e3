#pragma once

#include <QString>

// A user's tracker identity: first name, last name and tracker user id.
struct RedmineUserInfo {
    QString firstName;
    QString lastName;
    QString redmineId;
};
