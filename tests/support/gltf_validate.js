// Runs the Khronos glTF validator (npm package gltf-validator) on one file and prints its report's
// issue counts and messages; exits 1 when it reports errors. External buffers and images are read
// beside the file.
const fs = require("fs");
const path = require("path");
const validator = require("gltf-validator");

const file = process.argv[2];
const readBeside = (uri) =>
    new Promise((resolve, reject) => {
        try {
            resolve(new Uint8Array(fs.readFileSync(path.resolve(path.dirname(file), decodeURIComponent(uri)))));
        } catch (error) {
            reject(error.toString());
        }
    });
validator
    .validateBytes(new Uint8Array(fs.readFileSync(file)), {uri: file, externalResourceFunction: readBeside})
    .then((report) => {
        const issues = report.issues;
        console.log(`errors ${issues.numErrors} warnings ${issues.numWarnings}`);
        for (const message of issues.messages)
            if (message.severity <= 1)
                console.log(`${message.code} ${message.pointer || ""}: ${message.message}`);
        process.exit(issues.numErrors > 0 ? 1 : 0);
    }, (error) => {
        console.log(`validator failed: ${error}`);
        process.exit(2);
    });
