#pragma once
// Method pointers with identity: a callable together with the (receiver, code) pair that names
// it, so that callback chains can find, compare and remove the registration of one handler.

#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <type_traits>
#include <utility>

// The identity of a method: the object it is called on and the code it runs. Two methods are
// the same handler when both parts are equal.
struct TSrcMethodId {
    const void* Receiver = nullptr;
    std::array<std::uintptr_t, 2> Code{};

    bool HasCode() const { return Code[0] != 0 || Code[1] != 0; }
    bool operator==(const TSrcMethodId&) const = default;
};

template <class Sig>
class TSrcMethod;

template <class R, class... A>
class TSrcMethod<R(A...)> {
public:
    using Function = std::function<R(A...)>;

    TSrcMethod() = default;
    // A handler named by an explicit code tag (any address that stands for the handler's code,
    // such as a free function or a static object of the caller).
    TSrcMethod(const void* receiver, const void* code, Function function) : FFunction(std::move(function))
    {
        FId.Receiver = receiver;
        FId.Code[0] = reinterpret_cast<std::uintptr_t>(code);
    }

    // A member function bound to its object; the identity is the object and the member pointer.
    template <class C, class M>
    static TSrcMethod Bind(C* receiver, M method)
    {
        static_assert(std::is_member_function_pointer_v<M>);
        static_assert(sizeof(M) <= sizeof(TSrcMethodId::Code));
        TSrcMethod m;
        m.FId.Receiver = receiver;
        std::memcpy(m.FId.Code.data(), &method, sizeof(M));
        m.FFunction = [receiver, method](A... args) -> R { return (receiver->*method)(std::forward<A>(args)...); };
        return m;
    }

    // A method "without code": chains refuse or ignore it.
    bool Assigned() const { return FId.HasCode() && static_cast<bool>(FFunction); }
    const TSrcMethodId& Id() const { return FId; }
    bool SameAs(const TSrcMethod& other) const { return FId == other.FId; }

    R operator()(A... args) const { return FFunction(std::forward<A>(args)...); }

private:
    TSrcMethodId FId;
    Function FFunction;
};

namespace SrcMethodDetail {
template <class M>
struct MemberSignature;
template <class C, class R, class... A>
struct MemberSignature<R (C::*)(A...)> {
    using Type = R(A...);
};
template <class C, class R, class... A>
struct MemberSignature<R (C::*)(A...) const> {
    using Type = R(A...);
};
} // namespace SrcMethodDetail

// MakeMethod(this, &TMyClass::HandleKeyDown): the method pointer of a member function.
template <class C, class M>
auto MakeMethod(C* receiver, M method)
{
    return TSrcMethod<typename SrcMethodDetail::MemberSignature<M>::Type>::Bind(receiver, method);
}
