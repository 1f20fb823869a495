#include "core/base/kernel.hpp"

#include <gtest/gtest.h>

#include <cstddef>
#include <stdexcept>
#include <string>

#include "core/names/names_holder.hpp"
#include "core/text/message_catalogue.hpp"
#include "support/kernel_absence.hpp"
#include "velorium/velorium.hpp"

namespace velorium {
namespace {

TEST(Kernel, IsCreatedOnceAndHandsOutTheProcessPool) {
  ASSERT_TRUE(cpp_impl::get_or_create_kernel());
  cpp_impl::Kernel* kernel = cpp_impl::current_kernel();
  ASSERT_NE(kernel, nullptr);
  EXPECT_TRUE(cpp_impl::get_or_create_kernel());
  EXPECT_EQ(cpp_impl::current_kernel(), kernel) << "never replaced";
  EXPECT_EQ(kernel->get_names_holder(), get_names_holder());
  EXPECT_EQ(&cpp_impl::kernel_names_holder(), get_names_holder());
}

TEST(Kernel, LocalEngineIsNotProvided) {
  ASSERT_TRUE(cpp_impl::get_or_create_kernel());
  alignas(std::max_align_t) unsigned char storage[1] = {};
  const auto& any_options = *reinterpret_cast<const VeloriumOptions*>(storage);  // never read
  try {
    cpp_impl::current_kernel()->create_pipeline(any_options);
    FAIL() << "a pipeline was created";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), get_message(367));
    EXPECT_EQ(dynamic_cast<const velorium_exception*>(&e), nullptr) << "a plain runtime error";
  }
}

TEST(Kernel, AbsentCoreObjectGivesMessage109) {
  ASSERT_TRUE(cpp_impl::get_or_create_kernel());
  testing::ScopedKernelAbsence absent;
  EXPECT_EQ(cpp_impl::current_kernel(), nullptr);
  try {
    cpp_impl::kernel_names_holder();
    FAIL() << "no failure without a core object";
  } catch (const velorium_exception& e) {
    EXPECT_EQ(e.code(), -1);
    EXPECT_STREQ(e.what(), get_message(109));
  }
  EXPECT_EQ(std::string(cpp_impl::kKernelInitErrorText), "Ошибка инициализации ядра velorium");
}

TEST(Kernel, IsCreatedAgainAfterAnAbsence) {
  testing::ScopedKernelAbsence absent;
  EXPECT_TRUE(cpp_impl::get_or_create_kernel());
  EXPECT_NE(cpp_impl::current_kernel(), nullptr);
}

}  // namespace
}  // namespace velorium
