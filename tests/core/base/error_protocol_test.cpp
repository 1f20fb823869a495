#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

#include "core/base/catalogue_error.hpp"
#include "core/base/error_info_base.hpp"
#include "core/text/message_catalogue.hpp"
#include "core/text/text_utils.hpp"
#include "velorium/velorium.hpp"

namespace velorium {
namespace {

// A multiply inherited object in the shape of the library's interfaces.
class ISample : public INamedObject, public IErrorInfo, public IReleasable {
 public:
  virtual double Divide(double a, double b) = 0;
  virtual void Fail(int code) = 0;
};

class SampleImpl : public cpp_impl::ErrorInfoBase<ISample> {
 public:
  explicit SampleImpl(int* destroyed) : destroyed_(destroyed) {}
  ~SampleImpl() override { ++*destroyed_; }

  const char* GetName() override {
    return guarded<const char*>(nullptr, [&] { return name_.c_str(); });
  }
  void SetName(const char* name) override {
    guarded([&] {
      if (!name) throw std::invalid_argument("null name");
      name_ = name;
    });
  }
  double Divide(double a, double b) override {
    return guarded(0.0, [&] {
      if (b == 0.0) throw_catalogue_error(110, 7);
      return a / b;
    });
  }
  void Fail(int code) override {
    guarded([&] { throw velorium_exception(code, "coded failure"); });
  }

 private:
  int* destroyed_;
  std::string name_;
};

TEST(ErrorProtocol, FreshObjectHasNoError) {
  int destroyed = 0;
  ISample* sample = new SampleImpl(&destroyed);
  EXPECT_EQ(sample->GetErrorCode(), 0);
  ASSERT_NE(sample->GetErrorText(), nullptr);
  EXPECT_STREQ(sample->GetErrorText(), "");
  sample->Release();
  EXPECT_EQ(destroyed, 1);
}

TEST(ErrorProtocol, FailureIsStoredAndTheNextSuccessClearsIt) {
  int destroyed = 0;
  ISample* sample = new SampleImpl(&destroyed);
  EXPECT_EQ(sample->Divide(1.0, 0.0), 0.0) << "neutral value";
  EXPECT_EQ(sample->GetErrorCode(), -1);
  EXPECT_EQ(std::string(sample->GetErrorText()), formatString(get_message(110), 7));
  EXPECT_EQ(sample->GetErrorCode(), -1) << "reading the error clears nothing";

  EXPECT_EQ(sample->Divide(6.0, 3.0), 2.0);
  EXPECT_EQ(sample->GetErrorCode(), 0);
  EXPECT_STREQ(sample->GetErrorText(), "");

  sample->SetName(nullptr);
  EXPECT_EQ(sample->GetErrorCode(), -1) << "a standard exception is stored with -1";
  EXPECT_STREQ(sample->GetErrorText(), "null name");
  EXPECT_STREQ(sample->GetName(), "");
  EXPECT_EQ(sample->GetErrorCode(), 0) << "plain getters clear too";
  sample->Release();
}

TEST(ErrorProtocol, ExceptionCodesAreKept) {
  int destroyed = 0;
  ISample* sample = new SampleImpl(&destroyed);
  for (int code : {-1, 5, -42}) {
    sample->Fail(code);
    EXPECT_EQ(sample->GetErrorCode(), code);
    EXPECT_STREQ(sample->GetErrorText(), "coded failure");
  }
  sample->Release();
}

TEST(ErrorProtocol, ObjectsKeepTheirOwnErrorInformation) {
  int destroyed = 0;
  ISample* failing = new SampleImpl(&destroyed);
  ISample* other = new SampleImpl(&destroyed);
  other->Fail(3);
  failing->Divide(1.0, 0.0);
  EXPECT_EQ(other->GetErrorCode(), 3);
  other->Divide(1.0, 1.0);
  EXPECT_EQ(failing->GetErrorCode(), -1);
  EXPECT_EQ(other->GetErrorCode(), 0);
  failing->Release();
  other->Release();
}

TEST(ErrorProtocol, ReleaseThroughAnyBaseDestroysTheWholeObjectOnce) {
  int destroyed = 0;
  ISample* via_interface = new SampleImpl(&destroyed);
  static_cast<IReleasable*>(via_interface)->Release();
  EXPECT_EQ(destroyed, 1);

  ISample* second = new SampleImpl(&destroyed);
  IErrorInfo* as_error_info = second;
  dynamic_cast<IReleasable*>(as_error_info)->Release();  // cross-cast, as the Python module does
  EXPECT_EQ(destroyed, 2);

  ISample* third = new SampleImpl(&destroyed);
  delete static_cast<INamedObject*>(third);  // the virtual destructor of any base
  EXPECT_EQ(destroyed, 3);
}

TEST(ErrorProtocol, SetErrorCopiesTheText) {
  int destroyed = 0;
  auto* sample = new SampleImpl(&destroyed);
  {
    std::string temporary = "temporary text";
    sample->SetError(temporary.c_str(), -7);
    temporary.assign(temporary.size(), 'x');
  }
  EXPECT_STREQ(sample->GetErrorText(), "temporary text");
  EXPECT_EQ(sample->GetErrorCode(), -7);
  sample->SetError(nullptr, -1);
  EXPECT_STREQ(sample->GetErrorText(), "");
  sample->Release();
}

TEST(VeloriumException, IsARuntimeErrorWithACode) {
  try {
    throw velorium_exception(12, "text");
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "text");
    const auto* typed = dynamic_cast<const velorium_exception*>(&e);
    ASSERT_NE(typed, nullptr);
    EXPECT_EQ(typed->code(), 12);
    velorium_exception copy = *typed;
    EXPECT_EQ(copy.code(), 12);
    EXPECT_STREQ(copy.what(), "text");
  }
  try {
    throw_catalogue_error(111, 4);
  } catch (const std::exception& e) {
    EXPECT_EQ(std::string(e.what()), formatString(get_message(111), 4));
  }
}

}  // namespace
}  // namespace velorium
