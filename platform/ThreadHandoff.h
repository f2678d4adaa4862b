#pragma once

// Work handed between threads through Qt (the shared thread pool, a future's result) is ordered
// by Qt's own locks, which ThreadSanitizer cannot see in a Qt built without it: every hand-over
// would show as a race. Under ThreadSanitizer these tell it of the order; elsewhere they are
// nothing. `handOver` after the last write the other side reads, `takeOver` before its first read.
#if defined(__SANITIZE_THREAD__)
extern "C" void __tsan_acquire(void* address);
extern "C" void __tsan_release(void* address);
inline void handOver(const void* token)
{
    __tsan_release(const_cast<void*>(token));
}
inline void takeOver(const void* token)
{
    __tsan_acquire(const_cast<void*>(token));
}
#else
inline void handOver(const void*) {}
inline void takeOver(const void*) {}
#endif
