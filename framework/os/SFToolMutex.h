#pragma once
// CSFToolMutex: a recursive lock (its owner may lock it again, as a Windows critical section
// allows); CSFToolAutoMutexLock holds one for a scope. Any thread may use them; Unlock must be
// called by the thread that locked.
#include <memory>

namespace SF_SOFT_BASE {

class CSFToolMutex {
public:
    CSFToolMutex();
    ~CSFToolMutex();
    CSFToolMutex(const CSFToolMutex&) = delete;
    CSFToolMutex& operator=(const CSFToolMutex&) = delete;

    void Lock();
    void Unlock();
    // Returns at once: 1 when the lock was taken, 0 otherwise.
    int TryLock();

private:
    struct Record;
    std::unique_ptr<Record> m_record;
};

class CSFToolAutoMutexLock {
public:
    explicit CSFToolAutoMutexLock(CSFToolMutex& mutex);
    // A null mutex locks nothing.
    explicit CSFToolAutoMutexLock(CSFToolMutex* mutex);
    ~CSFToolAutoMutexLock();
    CSFToolAutoMutexLock(const CSFToolAutoMutexLock&) = delete;
    CSFToolAutoMutexLock& operator=(const CSFToolAutoMutexLock&) = delete;

    // Releases before the end of the scope; later calls and the destructor do nothing.
    void Unlock();

private:
    CSFToolMutex* m_mutex;
};

}  // namespace SF_SOFT_BASE
