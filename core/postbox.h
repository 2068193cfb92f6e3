#pragma once

// How code without widgets posts a message code to the dispatcher (CheckTimer, which installs
// itself when it is built). Posting before that, or in core tests, goes nowhere.
class PostBox
{
public:
    virtual ~PostBox();
    virtual void PostMessage(int code) = 0;

    static void Install(PostBox *box);
    static void Post(int code);
};
