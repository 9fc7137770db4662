-- Where the report folder is published: one row, only ever updated.
CREATE TABLE publish (
    location TEXT,
    username TEXT,
    password TEXT
);
INSERT INTO publish (location, username, password) VALUES ('', '', '');
