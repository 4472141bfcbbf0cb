// Root class and run-time class records with dynamic creation.
#pragma once

class CObject;

struct CRuntimeClass {
  const char* m_lpszClassName;
  int m_nObjectSize;
  CObject* (*m_pfnCreateObject)();
  const CRuntimeClass* m_pBaseClass;

  // A new default-constructed object, or null when the class cannot be created
  // dynamically or memory runs out. Other exceptions of the constructor pass.
  CObject* CreateObject() const;
  bool IsDerivedFrom(const CRuntimeClass* base) const;
};

class CObject {
 public:
  static const CRuntimeClass runtimeClass;
  virtual const CRuntimeClass* GetRuntimeClass() const;
  virtual ~CObject() = default;
  bool IsKindOf(const CRuntimeClass* cls) const;

 protected:
  CObject() = default;
  CObject(const CObject&) = default;
  CObject& operator=(const CObject&) = default;
};

#define RUNTIME_CLASS(class_name) (&class_name::runtimeClass)

#define DECLARE_DYNAMIC(class_name)        \
 public:                                   \
  static const CRuntimeClass runtimeClass; \
  const CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name) \
  DECLARE_DYNAMIC(class_name)         \
  static CObject* CreateObject();

#define IMPLEMENT_RUNTIMECLASS(class_name, base_name, create)                              \
  const CRuntimeClass class_name::runtimeClass = {#class_name, sizeof(class_name), create, \
                                                  RUNTIME_CLASS(base_name)};               \
  const CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); }

#define IMPLEMENT_DYNAMIC(class_name, base_name) \
  IMPLEMENT_RUNTIMECLASS(class_name, base_name, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_name)               \
  CObject* class_name::CreateObject() { return new class_name; } \
  IMPLEMENT_RUNTIMECLASS(class_name, base_name, class_name::CreateObject)
