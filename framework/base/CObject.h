// Run-time class information: IsKindOf and dynamic creation by class.
#pragma once

class CObject;

struct CRuntimeClass {
    const char* m_lpszClassName;
    CObject* (*m_pfnCreateObject)();
    const CRuntimeClass* m_pBaseClass;

    CObject* CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : nullptr; }
    bool IsDerivedFrom(const CRuntimeClass* base) const;
};

class CObject {
public:
    virtual ~CObject() = default;
    virtual const CRuntimeClass* GetRuntimeClass() const;
    bool IsKindOf(const CRuntimeClass* cls) const { return GetRuntimeClass()->IsDerivedFrom(cls); }
    static const CRuntimeClass classCObject;
};

// The macros keep their hand-made layout.
// clang-format off
#define RUNTIME_CLASS(name) (&name::class##name)

#define DECLARE_DYNAMIC(name)                                                                                \
public:                                                                                                      \
    static const CRuntimeClass class##name;                                                                  \
    const CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(name)                                                                              \
    DECLARE_DYNAMIC(name)                                                                                    \
    static CObject* CreateObject();

#define IMPLEMENT_DYNAMIC(name, base)                                                                        \
    const CRuntimeClass name::class##name = {#name, nullptr, RUNTIME_CLASS(base)};                           \
    const CRuntimeClass* name::GetRuntimeClass() const { return RUNTIME_CLASS(name); }

#define IMPLEMENT_DYNCREATE(name, base)                                                                      \
    CObject* name::CreateObject() { return new name; }                                                       \
    const CRuntimeClass name::class##name = {#name, &name::CreateObject, RUNTIME_CLASS(base)};               \
    const CRuntimeClass* name::GetRuntimeClass() const { return RUNTIME_CLASS(name); }
// clang-format on
