#include "framework/os/SFToolMutex.h"

#include <mutex>
#include <new>

namespace SF_SOFT_BASE {

struct CSFToolMutex::Record {
    std::recursive_mutex mutex;
};

CSFToolMutex::CSFToolMutex() : m_record(new (std::nothrow) Record) {}
CSFToolMutex::~CSFToolMutex() = default;

void CSFToolMutex::Lock() {
    if (m_record) {
        m_record->mutex.lock();
    }
}

void CSFToolMutex::Unlock() {
    if (m_record) {
        m_record->mutex.unlock();
    }
}

int CSFToolMutex::TryLock() {
    return m_record && m_record->mutex.try_lock() ? 1 : 0;
}

CSFToolAutoMutexLock::CSFToolAutoMutexLock(CSFToolMutex& mutex) : m_mutex(&mutex) {
    m_mutex->Lock();
}

CSFToolAutoMutexLock::CSFToolAutoMutexLock(CSFToolMutex* mutex) : m_mutex(mutex) {
    if (m_mutex != nullptr) {
        m_mutex->Lock();
    }
}

CSFToolAutoMutexLock::~CSFToolAutoMutexLock() {
    Unlock();
}

void CSFToolAutoMutexLock::Unlock() {
    if (m_mutex != nullptr) {
        m_mutex->Unlock();
        m_mutex = nullptr;
    }
}

}  // namespace SF_SOFT_BASE
