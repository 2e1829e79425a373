#pragma once

// Process-wide instance of a service class, created on first use and destroyed at exit.
// The class befriends VkSingleton<T> when its constructor is private.
template <class T>
class VkSingleton
{
public:
    static T* instance()
    {
        static T theInstance;
        return &theInstance;
    }

    VkSingleton() = delete;
};
