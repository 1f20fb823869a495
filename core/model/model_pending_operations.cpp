// Operations of the model that this build does not offer yet: files, parameters, logging and
// solving. Each reports "not implemented" (-1) and returns its neutral value.
#include "core/model/model_impl.hpp"

namespace velorium::cpp_impl {

void ModelImpl::Read(const char*) { fail_not_implemented(); }
void ModelImpl::ReadMps(const char*) { fail_not_implemented(); }
void ModelImpl::ReadLp(const char*) { fail_not_implemented(); }
void ModelImpl::Write(const char*, const char*) { fail_not_implemented(); }
void ModelImpl::WriteMps(const char*) { fail_not_implemented(); }
void ModelImpl::WriteLp(const char*) { fail_not_implemented(); }

int ModelImpl::GetIntParam(const char*) {
  fail_not_implemented();
  return 0;
}
double ModelImpl::GetDblParam(const char*) {
  fail_not_implemented();
  return 0.0;
}
const char* ModelImpl::GetStringParam(const char*) {
  fail_not_implemented();
  return nullptr;
}
bool ModelImpl::GetBoolParam(const char*) {
  fail_not_implemented();
  return false;
}
void ModelImpl::SetIntParam(const char*, int) { fail_not_implemented(); }
void ModelImpl::SetDblParam(const char*, double) { fail_not_implemented(); }
void ModelImpl::SetStringParam(const char*, const char*) { fail_not_implemented(); }
void ModelImpl::SetBoolParam(const char*, bool) { fail_not_implemented(); }

ISolveResult* ModelImpl::Solve() {
  fail_not_implemented();
  return nullptr;
}
ISolveResult* ModelImpl::SolveRemote(const char*) {
  fail_not_implemented();
  return nullptr;
}
void ModelImpl::SolveRemoteAsync() { fail_not_implemented(); }
const char* ModelImpl::GetRemoteSolveLog(const char*) {
  fail_not_implemented();
  return nullptr;
}
IComputeIisResult* ModelImpl::ComputeIis() {
  fail_not_implemented();
  return nullptr;
}

void ModelImpl::SetLogFile(const char*) { fail_not_implemented(); }
void ModelImpl::SetLogCallback(ILogCallback*) { fail_not_implemented(); }
void ModelImpl::AddMipStartValues(const char*) { fail_not_implemented(); }

}  // namespace velorium::cpp_impl
