// Tasks: small heap objects with one `run`. Whoever is handed a task (a
// WorkerSlot, the UI-thread dispatcher, its timer table) releases it exactly
// once; nobody else deletes it.
#pragma once

#include <type_traits>
#include <utility>

class Runable {
 public:
  // Destroys the task (delete this). Call at most once; skip for null.
  virtual void release() { delete this; }
  virtual ~Runable() = default;
  // Does the task's work. May run on a worker thread or the UI thread,
  // depending on who was handed the task.
  virtual void run() = 0;
};

// Runs a callable held by value (a closure's captures are copied in).
template <class F>
class FunctionRunable : public Runable {
 public:
  explicit FunctionRunable(F f) : function_(std::move(f)) {}
  void run() override { function_(); }

 private:
  F function_;
};

// new FunctionRunable over a copy (or move) of f; the caller hands the
// result to exactly one owner.
template <class F>
Runable* makeTask(F&& f) {
  return new FunctionRunable<std::decay_t<F>>(std::forward<F>(f));
}

// Runs `(object->*method)()`. The object is not owned and must outlive the
// task's run.
template <class T>
class MemberFuncRunable : public Runable {
 public:
  MemberFuncRunable(T* object, void (T::*method)()) : object_(object), method_(method) {}
  void run() override { (object_->*method_)(); }

 private:
  T* object_;
  void (T::*method_)();
};
