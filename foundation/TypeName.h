#pragma once

// The name of an element type as the error messages write it (TypeName<int>::value is "int").
template <class T> struct TypeName;
template <> struct TypeName<char> { static constexpr const char* value = "char"; };
template <> struct TypeName<unsigned char> { static constexpr const char* value = "unsigned char"; };
template <> struct TypeName<short> { static constexpr const char* value = "short"; };
template <> struct TypeName<unsigned short> { static constexpr const char* value = "unsigned short"; };
template <> struct TypeName<int> { static constexpr const char* value = "int"; };
template <> struct TypeName<unsigned int> { static constexpr const char* value = "unsigned int"; };
template <> struct TypeName<long> { static constexpr const char* value = "long"; };
template <> struct TypeName<float> { static constexpr const char* value = "float"; };
template <> struct TypeName<double> { static constexpr const char* value = "double"; };
template <> struct TypeName<long double> { static constexpr const char* value = "long double"; };
template <> struct TypeName<bool> { static constexpr const char* value = "bool"; };
