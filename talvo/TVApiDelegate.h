#pragma once

class BaseReq;
class BaseResp;

// What the Talvo app sends back; both are optional.
class TVApiDelegate {
public:
    virtual ~TVApiDelegate() = default;
    virtual void onReq(const BaseReq& req) { (void)req; }
    virtual void onResp(const BaseResp& resp) { (void)resp; }
};
