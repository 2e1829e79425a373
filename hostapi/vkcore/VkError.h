#pragma once

#include <utility>

// A function that can fail on a user's file says why through an optional out-parameter; a caller that
// only wants the yes or no passes null. These fill the message when there is a place for it. Plain C++:
// the engine, which has no Qt, includes this header too and reports std::string messages.
namespace VkError {

template <class Text, class Message>
void set(Text* error, Message&& message)
{
    if (error)
        *error = std::forward<Message>(message);
}

// The common way out of a function that reports failure as false: `return VkError::fail(error, ...);`.
template <class Text, class Message>
bool fail(Text* error, Message&& message)
{
    set(error, std::forward<Message>(message));
    return false;
}

} // namespace VkError
